package dev.orvo.maven;

import java.io.IOException;
import java.io.InputStream;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.StandardCopyOption;

/** The launchers this plugin's jar carries, built in the same run as the plugin. */
final class CarriedLaunchers {
    private static final String FOLDER = "launchers/";

    private CarriedLaunchers() {}

    /** The resource name of a launcher of that kind and width: orvo.exe, orvo64.exe, orvoc.exe, orvoc64.exe. */
    static String fileName(LauncherKind kind, boolean is64) {
        return "orvo" + kind.suffix() + (is64 ? "64" : "") + ".exe";
    }

    static boolean isCarried(LauncherKind kind, boolean is64) {
        return CarriedLaunchers.class.getResource(FOLDER + fileName(kind, is64)) != null;
    }

    /** Copies the launcher into {@code folder} and returns where it now is. Throws IOException when it is not carried. */
    static Path copy(LauncherKind kind, boolean is64, Path folder) throws IOException {
        final String name = fileName(kind, is64);
        try (InputStream launcher = CarriedLaunchers.class.getResourceAsStream(FOLDER + name)) {
            if (launcher == null) {
                throw new IOException("this plugin carries no " + name);
            }
            Files.createDirectories(folder);
            final Path copy = folder.resolve(name);
            Files.copy(launcher, copy, StandardCopyOption.REPLACE_EXISTING);
            return copy;
        }
    }
}
