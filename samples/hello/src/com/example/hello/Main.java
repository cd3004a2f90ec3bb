package com.example.hello;

/** The sample application that `make demo` starts through Orvo. */
public final class Main {
    private Main() {}

    public static void main(String[] args) {
        System.out.println("Hello from Java " + System.getProperty("java.version")
                + " (" + System.getProperty("os.arch") + "), started by Orvo.");
        System.out.println("Arguments: " + String.join(" | ", args));
        System.out.println("Maximum heap: " + Runtime.getRuntime().maxMemory() / (1024 * 1024) + " MiB");
        System.out.println("ORVO_JVM_HOME = " + System.getenv("ORVO_JVM_HOME"));
    }
}
