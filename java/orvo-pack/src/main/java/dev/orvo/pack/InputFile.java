package dev.orvo.pack;

/** An input of a pack: its bytes, and the name that messages about it start with. */
public final class InputFile {
    private final String name;
    private final byte[] bytes;

    public InputFile(String name, byte[] bytes) {
        this.name = name;
        this.bytes = bytes;
    }

    public String name() {
        return name;
    }

    byte[] bytes() {
        return bytes;
    }

    ByteView view() {
        return ByteView.of(bytes);
    }
}
