package dev.orvo.pack;

import java.io.File;
import java.io.IOException;
import java.io.InputStream;
import java.nio.ByteBuffer;
import java.nio.channels.FileChannel;
import java.nio.file.AccessDeniedException;
import java.nio.file.FileSystemException;
import java.nio.file.Files;
import java.nio.file.LinkOption;
import java.nio.file.NoSuchFileException;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.nio.file.StandardCopyOption;
import java.nio.file.StandardOpenOption;
import java.nio.file.attribute.BasicFileAttributes;
import java.nio.file.attribute.DosFileAttributes;
import java.nio.file.attribute.FileAttribute;
import java.nio.file.attribute.PosixFileAttributes;
import java.nio.file.attribute.PosixFilePermission;
import java.nio.file.attribute.PosixFilePermissions;
import java.security.SecureRandom;
import java.util.EnumSet;
import java.util.Set;

/** Whole-file reads and all-or-nothing writes. */
final class FileAccess {
    /** Larger inputs are refused rather than read into memory. */
    static final long MAX_INPUT_BYTES = 1024L * 1024 * 1024;

    private static final boolean WINDOWS = File.separatorChar == '\\';
    private static final int FILE_TYPE_BITS = 0170000;
    private static final int CHARACTER_DEVICE = 0020000;
    private static final int BLOCK_DEVICE = 0060000;
    private static final SecureRandom RANDOM = new SecureRandom();

    private FileAccess() {}

    /**
     * The file's bytes. Throws PackError (file access) naming the file when it cannot be
     * read or is larger than MAX_INPUT_BYTES.
     */
    static byte[] readWholeFile(String path) {
        try (InputStream in = Files.newInputStream(Paths.get(path))) {
            final byte[] bytes = in.readNBytes((int) MAX_INPUT_BYTES);
            if (in.read() >= 0) {
                throw accessError(path, "cannot be read", "larger than 1 GiB");
            }
            return bytes;
        } catch (IOException error) {
            throw accessError(path, "cannot be read", reasonOf(error));
        }
    }

    /**
     * Writes the bytes to a new file beside {@code path}, flushes it to the disk, then
     * renames it to {@code path}: afterwards {@code path} is either complete or as it
     * was, and no temporary file is left. {@code path} must be absent or a regular file
     * that may be written; a link there is refused, never followed, and so are a folder,
     * a device (on Windows also a device name such as NUL) and a read-only file. A
     * replaced file's permissions stay (on Windows its hidden, system and archive marks);
     * a new file may be executed (on systems that ask). Throws PackError (file access).
     */
    static void writeFileReplacing(String path, byte[] bytes) {
        final Path target = Paths.get(path);
        final ExistingOutput existing = examine(target, path);
        existing.target.refuseUnlessReplaceable(path);
        final Path temporary = Paths.get(path + ".orvo-pack-" + Integer.toUnsignedString(RANDOM.nextInt()) + ".tmp");
        try {
            writeTemporary(temporary, bytes, existing, path);
            try {
                Files.move(temporary, target, StandardCopyOption.REPLACE_EXISTING, StandardCopyOption.ATOMIC_MOVE);
            } catch (IOException error) {
                throw accessError(path, "cannot be replaced", reasonOf(error));
            }
        } catch (RuntimeException | Error failure) {
            try {
                Files.deleteIfExists(temporary);
            } catch (IOException ignored) {
                // The failure that brought us here is the one to report.
            }
            throw failure;
        }
    }

    /** The file at the path itself, never what a link there points to. */
    private static final class ExistingOutput {
        final OutputTarget target;
        final BasicFileAttributes attributes;

        ExistingOutput(OutputTarget target, BasicFileAttributes attributes) {
            this.target = target;
            this.attributes = attributes;
        }
    }

    private static ExistingOutput examine(Path path, String shownPath) {
        if (WINDOWS && OutputTarget.isWindowsDeviceName(shownPath)) {
            return new ExistingOutput(OutputTarget.DEVICE, null);
        }
        final BasicFileAttributes attributes;
        try {
            attributes = WINDOWS ? Files.readAttributes(path, DosFileAttributes.class, LinkOption.NOFOLLOW_LINKS)
                    : Files.readAttributes(path, PosixFileAttributes.class, LinkOption.NOFOLLOW_LINKS);
        } catch (IOException | UnsupportedOperationException absentOrUnseen) {
            // Absent, or not to be looked at: the write or the replacement says why.
            return new ExistingOutput(OutputTarget.ABSENT, null);
        }
        return new ExistingOutput(kindOf(path, attributes), attributes);
    }

    private static OutputTarget kindOf(Path path, BasicFileAttributes attributes) {
        if (attributes.isSymbolicLink() || (WINDOWS && attributes.isOther())) {
            return OutputTarget.LINK;
        }
        if (attributes.isDirectory()) {
            return OutputTarget.DIRECTORY;
        }
        if (attributes.isOther()) {
            return isDevice(path) ? OutputTarget.DEVICE : OutputTarget.OTHER;
        }
        if (attributes instanceof DosFileAttributes) {
            return ((DosFileAttributes) attributes).isReadOnly() ? OutputTarget.READ_ONLY_FILE : OutputTarget.REGULAR_FILE;
        }
        // The superuser may write any file, but one that nobody may write is still read-only.
        final Set<PosixFilePermission> permissions = ((PosixFileAttributes) attributes).permissions();
        final boolean nobodyMayWrite = !permissions.contains(PosixFilePermission.OWNER_WRITE)
                && !permissions.contains(PosixFilePermission.GROUP_WRITE) && !permissions.contains(PosixFilePermission.OTHERS_WRITE);
        return nobodyMayWrite || !Files.isWritable(path) ? OutputTarget.READ_ONLY_FILE : OutputTarget.REGULAR_FILE;
    }

    private static boolean isDevice(Path path) {
        try {
            final int type = (Integer) Files.getAttribute(path, "unix:mode", LinkOption.NOFOLLOW_LINKS) & FILE_TYPE_BITS;
            return type == CHARACTER_DEVICE || type == BLOCK_DEVICE;
        } catch (IOException | UnsupportedOperationException | IllegalArgumentException unknown) {
            return false;
        }
    }

    /**
     * A new file only (never through a link left at its name), with the replaced file's
     * permissions, or for a new output rwx as the umask allows.
     */
    private static void writeTemporary(Path temporary, byte[] bytes, ExistingOutput existing, String shownPath) {
        final boolean replacing = existing.target == OutputTarget.REGULAR_FILE;
        try (FileChannel file = FileChannel.open(temporary, Set.of(StandardOpenOption.CREATE_NEW, StandardOpenOption.WRITE,
                LinkOption.NOFOLLOW_LINKS), creationAttributes())) {
            if (replacing) {
                keepAttributes(temporary, existing.attributes);
            }
            final ByteBuffer buffer = ByteBuffer.wrap(bytes);
            while (buffer.hasRemaining()) {
                file.write(buffer);
            }
            file.force(true);
        } catch (IOException error) {
            throw accessError(shownPath, "cannot be written", reasonOf(error));
        }
    }

    private static FileAttribute<?>[] creationAttributes() {
        if (WINDOWS) {
            return new FileAttribute<?>[0];
        }
        return new FileAttribute<?>[] {PosixFilePermissions.asFileAttribute(EnumSet.allOf(PosixFilePermission.class))};
    }

    private static void keepAttributes(Path temporary, BasicFileAttributes replaced) throws IOException {
        if (replaced instanceof DosFileAttributes) {
            final DosFileAttributes marks = (DosFileAttributes) replaced;
            Files.setAttribute(temporary, "dos:hidden", marks.isHidden());
            Files.setAttribute(temporary, "dos:system", marks.isSystem());
            Files.setAttribute(temporary, "dos:archive", marks.isArchive());
            return;
        }
        // Set after creation, so that the umask does not narrow them.
        Files.setPosixFilePermissions(temporary, ((PosixFileAttributes) replaced).permissions());
    }

    private static PackError accessError(String path, String what, String reason) {
        return new PackError(path + ": " + what + " (" + reason + ")", ExitStatus.FILE_ACCESS);
    }

    /** The system's own words for what went wrong, as the C library gives them. */
    static String reasonOf(IOException error) {
        if (error instanceof NoSuchFileException) {
            return "No such file or directory";
        }
        if (error instanceof AccessDeniedException) {
            return "Permission denied";
        }
        if (error instanceof FileSystemException && ((FileSystemException) error).getReason() != null) {
            return ((FileSystemException) error).getReason();
        }
        return error.getMessage() != null ? error.getMessage() : error.getClass().getSimpleName();
    }
}
