#pragma once
// Writing a PE executable with a new resource section.
#include <cstdint>

#include "byte_io.h"
#include "pe_image.h"

namespace orvo::pack {

// Index of the section that holds the resource directory at its start. Throws
// PackError when the image has no resources or shares their section with other data.
std::size_t ResourceSectionIndex(const PeImage& image);

// The executable with its resource section's data replaced by `resources` (built for
// the section's address). The sections after it follow it anew in memory and in the
// file; only base relocations may lie there, since nothing else in the image refers to
// them by address except the directory entry, which is updated. Also updated: the
// resource section's sizes, the image and initialised-data sizes. Left out: the
// signature (it no longer matches), the COFF symbol table and anything after the
// image. The checksum is 0: WriteChecksum sets it once the file is complete.
// Throws PackError when a section after the resources cannot be moved.
Bytes ReplaceResourceSection(ByteSpan file, const PeImage& image, ByteSpan resources);

// What an earlier pack appended after the image (an archive, say), without the
// signature that may follow it. Empty when there is nothing.
ByteSpan CarriedData(ByteSpan file, const PeImage& image);

// The PE checksum of the file: its 16-bit words summed with end-around carry, the
// checksum field itself read as 0, plus the file's length.
std::uint32_t PeChecksum(ByteSpan file, std::uint64_t checksumOffset);

// Stores PeChecksum in the checksum field of the file, whose headers are the image's.
void WriteChecksum(Bytes& file, const PeImage& image);

}  // namespace orvo::pack
