package dev.orvo.pack;

/** What kind of failure ended a pack: orvo-pack's exit status. */
public enum ExitStatus {
    SUCCESS(0),
    /** An input file is not what it should be. */
    BAD_INPUT(1),
    /** The command line is wrong. */
    USAGE(2),
    /** A file cannot be read, or the output cannot be written. */
    FILE_ACCESS(3);

    private final int code;

    ExitStatus(int code) {
        this.code = code;
    }

    public int code() {
        return code;
    }
}
