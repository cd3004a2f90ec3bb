package dev.orvo.pack;

import java.util.ArrayList;
import java.util.List;
import java.util.Optional;
import java.util.function.Supplier;

/**
 * One pack: a copy of the launcher that carries the application's icon, version,
 * configuration and archive. Pure: the caller reads and writes the files.
 */
public final class Packer {
    private Packer() {}

    /**
     * The launcher with each given part in place of what it carried: its main icon, its
     * version resource, its embedded configuration (with "Embedded Jar" on whenever an
     * archive is carried), its archive, its manifest's execution level and Windows
     * settings (code page, long paths), its subsystem. What is not given is kept, an archive from an
     * earlier pack included. Throws PackError whose message starts with the name of the
     * input at fault.
     */
    public static PackResult pack(PackInputs inputs) {
        final List<String> notes = new ArrayList<>();
        final InputFile launcher = inputs.launcher();
        final PeImage image = reading(launcher, () -> PeImage.parse(launcher.view()));
        final List<ResourceLeaf> leaves = reading(launcher, () -> readResources(launcher, image));
        final Optional<byte[]> archive = inputs.jar().isPresent()
                ? Optional.of(reading(inputs.jar().get(), () -> ZipArchive.prepare(inputs.jar().get().view())))
                : carriedArchive(launcher, image, notes);
        applyResourceChanges(inputs, leaves, archive.isPresent());
        final PeSection section = image.sections().get(PeWriter.resourceSectionIndex(image));
        // Resources that nothing changes keep their bytes: a launcher turned into its
        // other kind differs from it in the subsystem and the checksum alone.
        final byte[] resources = changesResources(inputs, archive.isPresent())
                ? ResourceDirectoryWriter.build(leaves, section.virtualAddress)
                : unchangedResources(launcher.view(), image, section);
        final ByteBuilder executable = reading(launcher, () -> PeWriter.replaceResourceSection(launcher.view(), image, resources));
        inputs.subsystem().ifPresent(kind -> executable.putU16(image.subsystemOffset(), kind.value));
        archive.ifPresent(executable::append);
        return new PackResult(PeWriter.withChecksum(executable, image), notes);
    }

    private static boolean changesResources(PackInputs inputs, boolean withArchive) {
        return inputs.icon().isPresent() || inputs.version().isPresent() || inputs.requireAdministrator()
                || inputs.changesWindowsSettings() || inputs.config().isPresent() || withArchive;
    }

    private static byte[] unchangedResources(ByteView launcher, PeImage image, PeSection section) {
        final long size = Math.min(image.directory(DataDirectory.RESOURCE).size, section.rawSize);
        return launcher.sub(section.rawOffset, size).toArray();
    }

    /** Runs {@code step}, putting the input's name in front of a failure's message. */
    private static <T> T reading(InputFile input, Supplier<T> step) {
        try {
            return step.get();
        } catch (PackError error) {
            throw error.namedAfter(input.name());
        }
    }

    private static void readingStep(InputFile input, Runnable step) {
        reading(input, () -> {
            step.run();
            return null;
        });
    }

    private static List<ResourceLeaf> readResources(InputFile launcher, PeImage image) {
        final PeSection section = image.sections().get(PeWriter.resourceSectionIndex(image));
        return ResourceDirectoryReader.read(launcher.view().sub(section.rawOffset, section.rawSize), section.virtualAddress);
    }

    /** The archive an earlier pack appended; anything else after the image is dropped. */
    private static Optional<byte[]> carriedArchive(InputFile launcher, PeImage image, List<String> notes) {
        final ByteView carried = PeWriter.carriedData(launcher.view(), image);
        if (carried.isEmpty()) {
            return Optional.empty();
        }
        try {
            return Optional.of(ZipArchive.prepare(carried));
        } catch (PackError notAnArchive) {
            notes.add(launcher.name() + ": left out " + carried.size() + " bytes after the image that are not an archive");
            return Optional.empty();
        }
    }

    private static Optional<String> configText(PackInputs inputs, List<ResourceLeaf> leaves, boolean withArchive) {
        Optional<String> text = inputs.config().isPresent()
                ? Optional.of(reading(inputs.config().get(), () -> EmbeddedConfig.embeddableText(inputs.config().get().bytes())))
                : reading(inputs.launcher(), () -> EmbeddedConfig.find(leaves));
        if (withArchive) {
            text = Optional.of(EmbeddedConfig.withEmbeddedJarOn(text.orElse("")));
        }
        return text;
    }

    private static void applyResourceChanges(PackInputs inputs, List<ResourceLeaf> leaves, boolean withArchive) {
        if (inputs.icon().isPresent()) {
            final InputFile icon = inputs.icon().get();
            MainIcon.replace(leaves, reading(icon, () -> IconFile.parse(icon.view())));
        }
        if (inputs.version().isPresent()) {
            VersionResource.replace(leaves, VersionResource.build(inputs.version().get()));
        }
        if (inputs.requireAdministrator()) {
            readingStep(inputs.launcher(), () -> ManifestLevel.requireAdministrator(leaves));
        }
        if (inputs.changesWindowsSettings()) {
            readingStep(inputs.launcher(), () -> ManifestSettings.change(leaves, inputs.codePage(), inputs.longPaths()));
        }
        if (inputs.config().isPresent() || withArchive) {
            final Optional<String> text = configText(inputs, leaves, withArchive);
            readingStep(inputs.config().orElse(inputs.launcher()), () -> EmbeddedConfig.replace(leaves, text.get()));
        }
    }
}
