package dev.orvo.pack;

import java.io.IOException;
import java.io.InputStream;
import java.io.OutputStream;
import java.nio.file.AccessDeniedException;
import java.nio.file.FileSystemException;
import java.nio.file.Files;
import java.nio.file.NoSuchFileException;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.nio.file.StandardCopyOption;
import java.nio.file.StandardOpenOption;
import java.nio.file.attribute.PosixFilePermission;
import java.security.SecureRandom;
import java.util.Set;

/** Whole-file reads and all-or-nothing writes. */
final class FileAccess {
    /** Larger inputs are refused rather than read into memory. */
    static final long MAX_INPUT_BYTES = 1024L * 1024 * 1024;

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
     * Writes the bytes to a new file beside {@code path}, then renames it to {@code path}:
     * afterwards {@code path} is either complete or as it was, and no temporary file is
     * left. The file may be executed (on systems that ask). Throws PackError (file access)
     * on failure.
     */
    static void writeFileReplacing(String path, byte[] bytes) {
        final Path target = Paths.get(path);
        final Path temporary = Paths.get(path + ".orvo-pack-" + Integer.toUnsignedString(RANDOM.nextInt()) + ".tmp");
        try {
            writeAll(temporary, bytes, path);
            makeExecutable(temporary);
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

    private static void writeAll(Path temporary, byte[] bytes, String shownPath) {
        try (OutputStream out = Files.newOutputStream(temporary, StandardOpenOption.CREATE_NEW, StandardOpenOption.WRITE)) {
            out.write(bytes);
        } catch (IOException error) {
            throw accessError(shownPath, "cannot be written", reasonOf(error));
        }
    }

    private static void makeExecutable(Path file) {
        try {
            final Set<PosixFilePermission> permissions = Files.getPosixFilePermissions(file);
            permissions.add(PosixFilePermission.OWNER_EXECUTE);
            permissions.add(PosixFilePermission.GROUP_EXECUTE);
            permissions.add(PosixFilePermission.OTHERS_EXECUTE);
            Files.setPosixFilePermissions(file, permissions);
        } catch (IOException | UnsupportedOperationException notOnThisSystem) {
            // Windows has no execute bits: an executable is one by its name.
        }
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
