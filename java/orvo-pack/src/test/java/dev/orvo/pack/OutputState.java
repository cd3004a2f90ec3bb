package dev.orvo.pack;

import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.LinkOption;
import java.nio.file.Path;
import java.nio.file.attribute.PosixFilePermissions;
import java.util.Arrays;
import java.util.List;
import java.util.Objects;

/**
 * What lies at an output path before and after a packer ran, for outputs the comparison
 * prepares by name: a link, a folder, a read-only file, and a file whose permissions a
 * replacement must keep. Compared by kind, permissions and (for files) bytes.
 */
final class OutputState {
    static final List<String> PREPARED = List.of("link.exe", "folder.exe", "read-only.exe", "kept-mode.exe");
    private static final byte[] OLD = "old".getBytes(StandardCharsets.US_ASCII);

    private final String kind;
    private final String permissions;
    private final byte[] bytes;

    private OutputState(String kind, String permissions, byte[] bytes) {
        this.kind = kind;
        this.permissions = permissions;
        this.bytes = bytes;
    }

    /** Lays out the prepared output for its name (nothing for other names) and says what is there. */
    static OutputState prepare(Path out) throws IOException {
        switch (out.getFileName().toString()) {
            case "link.exe":
                Files.write(out.resolveSibling("link-target.txt"), OLD);
                Files.createSymbolicLink(out, out.resolveSibling("link-target.txt"));
                break;
            case "folder.exe":
                Files.createDirectory(out);
                break;
            case "read-only.exe":
                Files.write(out, OLD);
                Files.setPosixFilePermissions(out, PosixFilePermissions.fromString("r--r--r--"));
                break;
            case "kept-mode.exe":
                Files.write(out, OLD);
                Files.setPosixFilePermissions(out, PosixFilePermissions.fromString("rw-r-----"));
                break;
            default:
                break;
        }
        return of(out);
    }

    /** True when the prepared file no longer holds what it was prepared with. */
    static boolean wasReplaced(Path out) throws IOException {
        return !Arrays.equals(OLD, Files.readAllBytes(out));
    }

    static OutputState of(Path out) throws IOException {
        if (Files.isSymbolicLink(out)) {
            return new OutputState("link to " + Files.readSymbolicLink(out), "", null);
        }
        if (!Files.exists(out, LinkOption.NOFOLLOW_LINKS)) {
            return new OutputState("nothing", "", null);
        }
        final String permissions = PosixFilePermissions.toString(Files.getPosixFilePermissions(out, LinkOption.NOFOLLOW_LINKS));
        if (Files.isDirectory(out, LinkOption.NOFOLLOW_LINKS)) {
            return new OutputState("folder", permissions, null);
        }
        return new OutputState("file", permissions, Files.readAllBytes(out));
    }

    /** Puts back what was prepared, for the second packer to find the same. */
    void restore(Path out) throws IOException {
        remove(out);
        prepare(out);
    }

    /** Removes the output and whatever was prepared beside it. */
    void remove(Path out) throws IOException {
        if (Files.isDirectory(out, LinkOption.NOFOLLOW_LINKS)) {
            Files.delete(out);
        } else {
            Files.deleteIfExists(out);
        }
        Files.deleteIfExists(out.resolveSibling("link-target.txt"));
    }

    @Override
    public boolean equals(Object other) {
        if (!(other instanceof OutputState)) {
            return false;
        }
        final OutputState that = (OutputState) other;
        return kind.equals(that.kind) && permissions.equals(that.permissions) && Arrays.equals(bytes, that.bytes);
    }

    @Override
    public int hashCode() {
        return Objects.hash(kind, permissions, Arrays.hashCode(bytes));
    }

    @Override
    public String toString() {
        return kind + " " + permissions + (bytes == null ? "" : " of " + bytes.length + " bytes");
    }
}
