package dev.orvo.maven;

import java.util.ArrayList;
import java.util.List;

/** A project version as a Windows file version: numbers only, missing parts 0, qualifiers dropped. */
final class WindowsVersion {
    private static final int PARTS = 4;

    private WindowsVersion() {}

    /** "1.4.2-SNAPSHOT" gives "1.4.2.0", "2.1" gives "2.1.0.0", "RC1" gives "0.0.0.0". */
    static String of(String projectVersion) {
        final List<String> parts = new ArrayList<>();
        int at = 0;
        while (parts.size() < PARTS) {
            int end = at;
            while (end < projectVersion.length() && Character.isDigit(projectVersion.charAt(end))
                    && projectVersion.charAt(end) < 128) {
                ++end;
            }
            if (end == at) {
                break;
            }
            parts.add(withoutLeadingZeros(projectVersion.substring(at, end)));
            if (end >= projectVersion.length() || projectVersion.charAt(end) != '.') {
                break;
            }
            at = end + 1;
        }
        while (parts.size() < PARTS) {
            parts.add("0");
        }
        return String.join(".", parts);
    }

    private static String withoutLeadingZeros(String digits) {
        int start = 0;
        while (start < digits.length() - 1 && digits.charAt(start) == '0') {
            ++start;
        }
        return digits.substring(start);
    }
}
