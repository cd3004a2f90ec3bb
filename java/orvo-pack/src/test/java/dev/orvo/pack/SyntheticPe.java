package dev.orvo.pack;

import java.nio.charset.StandardCharsets;
import java.util.Arrays;
import java.util.List;

/**
 * A small launcher-like PE executable built byte by byte: .text, .rsrc holding the
 * given resource section, and .reloc after it, from address 0x1000 and file offset 0x400.
 */
final class SyntheticPe {
    private static final int HEADERS_SIZE = 0x400;
    private static final int PE_OFFSET = 0x40;
    private static final int FILE_ALIGNMENT = 0x200;
    private static final int SECTION_ALIGNMENT = 0x1000;

    private SyntheticPe() {}

    /** The resource section's bytes, given the address it is loaded at. */
    interface ResourceSection {
        byte[] at(long rva);
    }

    static byte[] launcherLike(List<ResourceLeaf> resources) {
        return build(rva -> ResourceDirectoryWriter.build(resources, rva));
    }

    static byte[] build(ResourceSection resources) {
        final int optional = PE_OFFSET + 24;
        final int directories = optional + 112;
        final int table = optional + 240;
        final ByteBuilder out = new ByteBuilder(HEADERS_SIZE);
        out.put(0, new byte[] {'M', 'Z'});
        out.putU32(0x3C, PE_OFFSET);
        out.put(PE_OFFSET, new byte[] {'P', 'E'});
        out.putU16(PE_OFFSET + 4, 0x8664);
        out.putU16(PE_OFFSET + 6, 3);
        out.putU16(PE_OFFSET + 20, 240);
        out.putU16(PE_OFFSET + 22, 0x0022);
        out.putU16(optional, 0x20B);
        out.putU32(optional + 32, SECTION_ALIGNMENT);
        out.putU32(optional + 36, FILE_ALIGNMENT);
        out.putU32(optional + 60, HEADERS_SIZE);
        out.putU32(directories - 4, 16);
        final byte[] text = filled(0x1234, 0xCC);
        final byte[][] sections = {text, resources.at(SECTION_ALIGNMENT + Alignment.up(text.length, SECTION_ALIGNMENT)),
            filled(0xC8, 0x5A)};
        final String[] names = {".text", ".rsrc", ".reloc"};
        long address = SECTION_ALIGNMENT;
        for (int i = 0; i < sections.length; ++i) {
            final int header = table + 40 * i;
            out.put(header, names[i].getBytes(StandardCharsets.US_ASCII));
            out.putU32(header + 8, sections[i].length);
            out.putU32(header + 12, address);
            out.putU32(header + 16, Alignment.up(sections[i].length, FILE_ALIGNMENT));
            out.putU32(header + 20, out.size());
            if (i > 0) {
                final int directory = i == 1 ? 2 : 5;
                out.putU32(directories + 8 * directory, address);
                out.putU32(directories + 8 * directory + 4, sections[i].length);
            }
            out.append(sections[i]);
            out.padTo(FILE_ALIGNMENT);
            address += Alignment.up(sections[i].length, SECTION_ALIGNMENT);
        }
        out.putU32(optional + 56, address);
        return out.toArray();
    }

    static byte[] filled(int size, int value) {
        final byte[] bytes = new byte[size];
        Arrays.fill(bytes, (byte) value);
        return bytes;
    }
}
