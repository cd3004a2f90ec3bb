package dev.orvo.pack;

import java.util.Optional;

/** What one pack puts together: a launcher and the parts it is to carry. */
public final class PackInputs {
    private final InputFile launcher;
    private InputFile icon;
    private VersionInfo version;
    private InputFile config;
    private InputFile jar;
    private boolean requireAdministrator;
    private ManifestSettings.CodePage codePage;
    private boolean longPaths;
    private Subsystem subsystem;

    /** {@code launcher}: a plain launcher or an executable packed before. */
    public PackInputs(InputFile launcher) {
        this.launcher = launcher;
    }

    public PackInputs icon(InputFile value) {
        icon = value;
        return this;
    }

    public PackInputs version(VersionInfo value) {
        version = value;
        return this;
    }

    public PackInputs config(InputFile value) {
        config = value;
        return this;
    }

    public PackInputs jar(InputFile value) {
        jar = value;
        return this;
    }

    public PackInputs requireAdministrator(boolean value) {
        requireAdministrator = value;
        return this;
    }

    /** The code page the manifest is to ask for; without one, it is left as it is. */
    PackInputs codePage(ManifestSettings.CodePage value) {
        codePage = value;
        return this;
    }

    /** true: the manifest turns long paths on; false: it is left as it is. */
    public PackInputs longPaths(boolean value) {
        longPaths = value;
        return this;
    }

    /** The kind of launcher to make; without one, the launcher's kind is kept. */
    public PackInputs subsystem(Subsystem value) {
        subsystem = value;
        return this;
    }

    InputFile launcher() {
        return launcher;
    }

    Optional<InputFile> icon() {
        return Optional.ofNullable(icon);
    }

    Optional<VersionInfo> version() {
        return Optional.ofNullable(version);
    }

    Optional<InputFile> config() {
        return Optional.ofNullable(config);
    }

    Optional<InputFile> jar() {
        return Optional.ofNullable(jar);
    }

    boolean requireAdministrator() {
        return requireAdministrator;
    }

    Optional<ManifestSettings.CodePage> codePage() {
        return Optional.ofNullable(codePage);
    }

    boolean longPaths() {
        return longPaths;
    }

    Optional<Subsystem> subsystem() {
        return Optional.ofNullable(subsystem);
    }

    boolean changesWindowsSettings() {
        return codePage != null || longPaths;
    }
}
