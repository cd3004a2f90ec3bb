package dev.orvo.pack;

/** One image of an icon file: its directory entry and its PNG stream or DIB. */
final class IconImage {
    /** 0 means 256. */
    final int width;
    /** 0 means 256. */
    final int height;
    final int colorCount;
    final int planes;
    final int bitCount;
    final ByteView data;

    IconImage(int width, int height, int colorCount, int planes, int bitCount, ByteView data) {
        this.width = width;
        this.height = height;
        this.colorCount = colorCount;
        this.planes = planes;
        this.bitCount = bitCount;
        this.data = data;
    }
}
