package dev.orvo.pack;

/** The subsystem an executable is marked for: the launcher's kind. */
public enum Subsystem {
    WINDOWS(2),
    CONSOLE(3);

    final int value;

    Subsystem(int value) {
        this.value = value;
    }
}
