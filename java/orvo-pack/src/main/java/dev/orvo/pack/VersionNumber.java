package dev.orvo.pack;

import java.util.Optional;

/** A file and product version: four numbers from 0 to 65535. */
public final class VersionNumber {
    private final int[] parts;

    private VersionNumber(int[] parts) {
        this.parts = parts;
    }

    /** "1.4.2.0": one to four numbers from 0 to 65535 separated by "."; missing ones are 0. */
    public static Optional<VersionNumber> parse(String text) {
        final int[] parts = new int[4];
        String rest = text;
        for (int index = 0; index < parts.length; ++index) {
            final int dot = rest.indexOf('.');
            final int part = parsePart(dot < 0 ? rest : rest.substring(0, dot));
            if (part < 0) {
                return Optional.empty();
            }
            parts[index] = part;
            if (dot < 0) {
                return Optional.of(new VersionNumber(parts));
            }
            rest = rest.substring(dot + 1);
        }
        return Optional.empty(); // a fifth part
    }

    private static int parsePart(String part) {
        if (part.isEmpty() || part.length() > 5) {
            return -1;
        }
        int value = 0;
        for (int i = 0; i < part.length(); ++i) {
            final char c = part.charAt(i);
            if (c < '0' || c > '9') {
                return -1;
            }
            value = value * 10 + (c - '0');
        }
        return value > 0xFFFF ? -1 : value;
    }

    int part(int index) {
        return parts[index];
    }

    @Override
    public String toString() {
        return parts[0] + "." + parts[1] + "." + parts[2] + "." + parts[3];
    }
}
