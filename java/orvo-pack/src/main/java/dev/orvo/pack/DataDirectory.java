package dev.orvo.pack;

/** The entries of a PE image's data directory table that orvo-pack reads or changes. */
enum DataDirectory {
    RESOURCE(2),
    /** Its "address" is a file offset: the signature after the image. */
    SECURITY(4),
    BASE_RELOCATION(5),
    DEBUG(6);

    private final int index;

    DataDirectory(int index) {
        this.index = index;
    }

    int index() {
        return index;
    }
}
