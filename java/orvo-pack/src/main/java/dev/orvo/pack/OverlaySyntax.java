package dev.orvo.pack;

/** How the launcher reads a line of its configuration text: a section header or a key. */
public final class OverlaySyntax {
    private OverlaySyntax() {}

    /** The section a "[name]" line opens; null for any other line. */
    public static String sectionName(String line) {
        final String rest = withoutLeadingControls(line);
        if (rest.isEmpty() || rest.charAt(0) != '[') {
            return null;
        }
        int last = rest.length();
        while (last > 0 && isControlOrBlank(rest.charAt(last - 1))) {
            --last;
        }
        if (last < 2 || rest.charAt(last - 1) != ']') {
            return null;
        }
        return rest.substring(1, last - 1);
    }

    /** The key of a "key=value" line, without white space around it; null for a line without "=". */
    public static String key(String line) {
        final String rest = withoutLeadingControls(line);
        final int equals = rest.indexOf('=');
        return equals < 0 ? null : trimWhiteSpace(rest.substring(0, equals));
    }

    private static boolean isControlOrBlank(char c) {
        return c <= ' ';
    }

    private static boolean isWhiteSpace(char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\u000B' || c == '\f' || c == '\r';
    }

    private static String withoutLeadingControls(String line) {
        int start = 0;
        while (start < line.length() && isControlOrBlank(line.charAt(start))) {
            ++start;
        }
        return line.substring(start);
    }

    private static String trimWhiteSpace(String text) {
        int begin = 0;
        int end = text.length();
        while (begin < end && isWhiteSpace(text.charAt(begin))) {
            ++begin;
        }
        while (end > begin && isWhiteSpace(text.charAt(end - 1))) {
            --end;
        }
        return text.substring(begin, end);
    }
}
