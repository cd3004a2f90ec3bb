package dev.orvo.pack;

import java.util.Collections;
import java.util.List;

/** The packed executable, and what the user should know about it. */
public final class PackResult {
    private final byte[] executable;
    private final List<String> notes;

    PackResult(byte[] executable, List<String> notes) {
        this.executable = executable;
        this.notes = Collections.unmodifiableList(notes);
    }

    public byte[] executable() {
        return executable.clone();
    }

    byte[] executableBytes() {
        return executable;
    }

    /** Things the user should know, one per line. */
    public List<String> notes() {
        return notes;
    }
}
