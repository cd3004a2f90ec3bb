package dev.orvo.maven;

import java.util.Locale;

/** Which launcher an application starts from: a windowed one, or one that keeps its console. */
enum LauncherKind {
    WINDOWED(""),
    CONSOLE("c");

    private final String suffix;

    LauncherKind(String suffix) {
        this.suffix = suffix;
    }

    String suffix() {
        return suffix;
    }

    /** "windowed" or "console", in any case; null for anything else. */
    static LauncherKind named(String name) {
        for (LauncherKind kind : values()) {
            if (kind.name().toLowerCase(Locale.ROOT).equals(name.trim().toLowerCase(Locale.ROOT))) {
                return kind;
            }
        }
        return null;
    }
}
