package dev.orvo.pack;

/** A failure the user is told about, with the exit status that says what kind it was. */
public final class PackError extends RuntimeException {
    private static final long serialVersionUID = 1L;

    private final ExitStatus status;

    public PackError(String message) {
        this(message, ExitStatus.BAD_INPUT);
    }

    public PackError(String message, ExitStatus status) {
        super(message, null, false, false);
        this.status = status;
    }

    public ExitStatus status() {
        return status;
    }

    /** The same failure with "{@code name}: " in front of its message. */
    PackError namedAfter(String name) {
        return new PackError(name + ": " + getMessage(), status);
    }
}
