package com.example.hello;

/** The sample application that a Maven build packs into hello.exe. */
public final class Main {
    private Main() {}

    public static void main(String[] args) {
        System.out.println("Hello from a Maven build, on Java " + System.getProperty("java.version") + ".");
        System.out.println("Arguments: " + String.join(" | ", args));
    }
}
