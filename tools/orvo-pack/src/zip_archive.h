#pragma once
// The application's archive (a jar) as orvo-pack appends it to the executable.
//
// Its offsets stay counted from the archive's own first byte, as the jar tool wrote
// them, rather than from the start of the executable. Java's archive reader finds the
// archive's start as (central directory position - recorded offset) and checks that a
// local header lies there; that check is what lets it accept bytes after the archive,
// such as the Authenticode signature a signing tool appends to the executable. Offsets
// counted from the start of the executable would point it at the "MZ" header there,
// and a signed executable would no longer open as an archive.
#include "byte_io.h"

namespace orvo::pack {

// The archive from its first local header to the end of its end record and comment,
// with every offset counted from that first header (any bytes before it, or after the
// comment, are left out). Throws PackError when the bytes are not a ZIP archive: no end
// record, a central directory outside the data or malformed, an entry without its
// local header, no entries at all, or a ZIP64 archive (not supported).
Bytes PrepareArchive(ByteSpan bytes);

}  // namespace orvo::pack
