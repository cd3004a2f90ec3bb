#include "packer.h"

#include <algorithm>
#include <utility>

#include "embedded_config_file.h"
#include "icon_file.h"
#include "manifest_level.h"
#include "pack_error.h"
#include "pe_image.h"
#include "pe_writer.h"
#include "resource_tree.h"
#include "zip_archive.h"

namespace orvo::pack {
namespace {

// Runs `step`, putting the input's name in front of a failure's message.
template <typename Step>
auto Reading(const InputFile& input, Step step) {
    try {
        return step();
    } catch (const PackError& error) {
        throw PackError(input.name + ": " + error.what(), error.status());
    }
}

std::vector<ResourceLeaf> ReadResources(const InputFile& launcher, const PeImage& image) {
    const PeSection& section = image.sections()[ResourceSectionIndex(image)];
    return ParseResourceDirectory(SubSpan(launcher.bytes, section.rawOffset, section.rawSize), section.virtualAddress);
}

// The archive an earlier pack appended; anything else after the image is dropped.
std::optional<Bytes> CarriedArchive(const InputFile& launcher, const PeImage& image, std::vector<std::string>& notes) {
    const ByteSpan carried = CarriedData(launcher.bytes, image);
    if (carried.empty()) return std::nullopt;
    try {
        return PrepareArchive(carried);
    } catch (const PackError&) {
        notes.push_back(launcher.name + ": left out " + std::to_string(carried.size()) +
                        " bytes after the image that are not an archive");
        return std::nullopt;
    }
}

std::optional<std::string> ConfigText(const PackInputs& inputs, const std::vector<ResourceLeaf>& leaves, bool withArchive) {
    std::optional<std::string> text =
        inputs.config ? Reading(*inputs.config, [&] { return EmbeddableConfigText(inputs.config->bytes); })
                      : Reading(inputs.launcher, [&] { return FindEmbeddedConfig(leaves); });
    if (withArchive) text = WithEmbeddedJarOn(text.value_or(std::string()));
    return text;
}

void ApplyResourceChanges(const PackInputs& inputs, std::vector<ResourceLeaf>& leaves, bool withArchive) {
    if (inputs.icon) ReplaceMainIcon(leaves, Reading(*inputs.icon, [&] { return ParseIconFile(inputs.icon->bytes); }));
    if (inputs.version) ReplaceVersionResource(leaves, BuildVersionResource(*inputs.version));
    if (inputs.requireAdministrator) Reading(inputs.launcher, [&] { RequireAdministrator(leaves); });
    if (inputs.windowsSettings.any()) {
        Reading(inputs.launcher, [&] { ChangeWindowsSettings(leaves, inputs.windowsSettings); });
    }
    if (inputs.config || withArchive) {
        const std::optional<std::string> text = ConfigText(inputs, leaves, withArchive);
        Reading(inputs.config ? *inputs.config : inputs.launcher, [&] { ReplaceEmbeddedConfig(leaves, *text); });
    }
}

bool ChangesResources(const PackInputs& inputs, bool withArchive) {
    return inputs.icon || inputs.version || inputs.requireAdministrator || inputs.windowsSettings.any() ||
           inputs.config || withArchive;
}

Bytes UnchangedResources(ByteSpan launcher, const PeImage& image, const PeSection& section) {
    const std::uint32_t size = std::min(image.Directory(DataDirectory::kResource).size, section.rawSize);
    const ByteSpan bytes = SubSpan(launcher, section.rawOffset, size);
    return Bytes(bytes.begin(), bytes.end());
}

}  // namespace

PackResult Pack(const PackInputs& inputs) {
    PackResult result;
    const InputFile& launcher = inputs.launcher;
    const PeImage image = Reading(launcher, [&] { return PeImage::Parse(launcher.bytes); });
    std::vector<ResourceLeaf> leaves = Reading(launcher, [&] { return ReadResources(launcher, image); });
    const std::optional<Bytes> archive = inputs.jar
        ? Reading(*inputs.jar, [&] { return std::optional<Bytes>(PrepareArchive(inputs.jar->bytes)); })
        : CarriedArchive(launcher, image, result.notes);
    ApplyResourceChanges(inputs, leaves, archive.has_value());
    const PeSection& section = image.sections()[ResourceSectionIndex(image)];
    // Resources that nothing changes keep their bytes: a launcher turned into its
    // other kind differs from it in the subsystem and the checksum alone.
    const Bytes resources = ChangesResources(inputs, archive.has_value())
                                ? BuildResourceDirectory(std::move(leaves), section.virtualAddress)
                                : UnchangedResources(launcher.bytes, image, section);
    result.executable = Reading(launcher, [&] { return ReplaceResourceSection(launcher.bytes, image, resources); });
    if (inputs.subsystem) WriteU16(result.executable, image.SubsystemOffset(), static_cast<std::uint16_t>(*inputs.subsystem));
    if (archive) AppendBytes(result.executable, *archive);
    WriteChecksum(result.executable, image);
    return result;
}

}  // namespace orvo::pack
