package dev.orvo.maven;

import java.io.File;
import java.io.IOException;
import java.util.Optional;
import java.util.jar.Attributes;
import java.util.jar.JarFile;
import java.util.jar.Manifest;

/** What a jar's manifest says about the application in it. */
final class JarManifest {
    private JarManifest() {}

    /** The manifest's Main-Class; empty when the jar has no manifest or it names none. */
    static Optional<String> mainClass(File jar) throws IOException {
        try (JarFile file = new JarFile(jar)) {
            final Manifest manifest = file.getManifest();
            if (manifest == null) {
                return Optional.empty();
            }
            final String value = manifest.getMainAttributes().getValue(Attributes.Name.MAIN_CLASS);
            return value == null || value.trim().isEmpty() ? Optional.empty() : Optional.of(value.trim());
        }
    }
}
