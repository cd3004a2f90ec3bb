package dev.orvo.pack;

import java.util.AbstractMap.SimpleImmutableEntry;
import java.util.ArrayList;
import java.util.Collections;
import java.util.List;
import java.util.Map;

/** The version an executable shows: its number and the texts of its string table, in order. */
public final class VersionInfo {
    private final VersionNumber number;
    private final List<Map.Entry<String, String>> strings = new ArrayList<>();

    public VersionInfo(VersionNumber number) {
        this.number = number;
    }

    /** Adds a StringFileInfo value ("ProductName", "FileVersion", ...) after those added before. */
    public VersionInfo with(String name, String value) {
        strings.add(new SimpleImmutableEntry<>(name, value));
        return this;
    }

    VersionNumber number() {
        return number;
    }

    List<Map.Entry<String, String>> strings() {
        return Collections.unmodifiableList(strings);
    }
}
