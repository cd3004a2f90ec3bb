package dev.orvo.maven;

import java.io.IOException;
import java.nio.ByteBuffer;
import java.nio.charset.CharacterCodingException;
import java.nio.charset.CharsetDecoder;
import java.nio.charset.Charset;
import java.nio.charset.CodingErrorAction;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;

/** A configuration file's text: UTF-8 (with or without a byte-order mark), or UTF-16LE with one. */
final class ConfigFileText {
    private ConfigFileText() {}

    /** Throws IOException naming the file when it cannot be read or holds other bytes. */
    static String read(Path file) throws IOException {
        final byte[] bytes = Files.readAllBytes(file);
        final boolean utf16 = bytes.length >= 2 && (bytes[0] & 0xFF) == 0xFF && (bytes[1] & 0xFF) == 0xFE;
        final boolean utf8Mark = bytes.length >= 3 && (bytes[0] & 0xFF) == 0xEF && (bytes[1] & 0xFF) == 0xBB
                && (bytes[2] & 0xFF) == 0xBF;
        final int start = utf16 ? 2 : utf8Mark ? 3 : 0;
        try {
            return decoder(utf16 ? StandardCharsets.UTF_16LE : StandardCharsets.UTF_8)
                    .decode(ByteBuffer.wrap(bytes, start, bytes.length - start)).toString();
        } catch (CharacterCodingException error) {
            throw new IOException(file + ": neither UTF-8 nor UTF-16 text; save it as UTF-8", error);
        }
    }

    private static CharsetDecoder decoder(Charset charset) {
        return charset.newDecoder().onMalformedInput(CodingErrorAction.REPORT).onUnmappableCharacter(CodingErrorAction.REPORT);
    }
}
