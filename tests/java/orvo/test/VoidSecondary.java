package orvo.test;

/** {@link Probe} with a {@code secondaryMain} that returns nothing. */
public final class VoidSecondary {
    private VoidSecondary() {}

    public static void main(String[] args) throws Exception {
        Probe.main(args);
    }

    public static void secondaryMain(String[] args) throws Exception {
        Probe.secondaryMain(args);
    }
}
