package dev.orvo.pack;

import java.util.Locale;
import java.util.Set;

/**
 * What orvo-pack may replace when it writes its output: nothing, or a regular file it
 * may write. Anything else (a link, a folder, a device) is refused rather than
 * replaced by a file.
 */
enum OutputTarget {
    ABSENT(null),
    REGULAR_FILE(null),
    READ_ONLY_FILE("read-only"),
    /** A symbolic link, or on Windows any reparse point. */
    LINK("a link"),
    DIRECTORY("a directory"),
    DEVICE("a device"),
    /** A pipe, a socket. */
    OTHER("not a regular file");

    private static final Set<String> DEVICE_NAMES = Set.of("CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$");

    private final String refusal;

    OutputTarget(String refusal) {
        this.refusal = refusal;
    }

    /** Throws PackError (file access) naming {@code shownPath} for a target that must not be replaced. */
    void refuseUnlessReplaceable(String shownPath) {
        if (refusal != null) {
            throw new PackError(shownPath + ": cannot be replaced (" + refusal + ")", ExitStatus.FILE_ACCESS);
        }
    }

    /**
     * True when Windows takes the path's last component as a device: CON, PRN, AUX, NUL,
     * COM0-COM9, LPT0-LPT9 (also with a superscript digit), CONIN$ and CONOUT$, in any
     * letter case, even with an extension or trailing spaces ("nul.exe", "Com1 .txt");
     * and any path in the device namespace ("\\.\...").
     */
    static boolean isWindowsDeviceName(String path) {
        if (path.startsWith("\\\\.\\") || path.startsWith("//./")) {
            return true;
        }
        String name = path.substring(Math.max(path.lastIndexOf('/'), path.lastIndexOf('\\')) + 1);
        final int stop = firstOf(name, ".:");
        name = stop < 0 ? name : name.substring(0, stop);
        while (name.endsWith(" ")) {
            name = name.substring(0, name.length() - 1);
        }
        final String upper = name.toUpperCase(Locale.ROOT);
        return DEVICE_NAMES.contains(upper) || isNumberedDevice(upper);
    }

    private static int firstOf(String text, String characters) {
        for (int i = 0; i < text.length(); ++i) {
            if (characters.indexOf(text.charAt(i)) >= 0) {
                return i;
            }
        }
        return -1;
    }

    private static boolean isNumberedDevice(String name) {
        if (name.length() != 4 || !(name.startsWith("COM") || name.startsWith("LPT"))) {
            return false;
        }
        final char digit = name.charAt(3);
        // The digits 0-9 and the superscripts one, two and three.
        return (digit >= '0' && digit <= '9') || digit == '\u00B9' || digit == '\u00B2' || digit == '\u00B3';
    }
}
