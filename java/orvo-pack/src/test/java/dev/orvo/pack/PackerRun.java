package dev.orvo.pack;

import java.io.ByteArrayOutputStream;
import java.io.IOException;
import java.io.PrintStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.LinkOption;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;
import java.util.concurrent.TimeUnit;

/** What one run of a packer left: its exit status, what it printed, and the file it wrote (null for none). */
final class PackerRun {
    private static final long TIME_LIMIT_SECONDS = 60;

    final int status;
    final String out;
    final String error;
    final byte[] written;

    private PackerRun(int status, String out, String error, byte[] written) {
        this.status = status;
        this.out = out;
        this.error = error;
        this.written = written;
    }

    /** Runs the Java packer in this process; the output, if any, is read from {@code output} and removed. */
    static PackerRun inProcess(List<String> arguments, Path output) throws IOException {
        final ByteArrayOutputStream out = new ByteArrayOutputStream();
        final ByteArrayOutputStream error = new ByteArrayOutputStream();
        final int status = OrvoPack.run(arguments, new PrintStream(out, true, StandardCharsets.UTF_8),
                new PrintStream(error, true, StandardCharsets.UTF_8));
        return new PackerRun(status, out.toString(StandardCharsets.UTF_8), error.toString(StandardCharsets.UTF_8), take(output));
    }

    /** Runs a packer program with the arguments, within a time limit that fails the test when it passes. */
    static PackerRun program(List<String> command, List<String> arguments, Path output, Path workFolder)
            throws IOException, InterruptedException {
        final List<String> whole = new ArrayList<>(command);
        whole.addAll(arguments);
        final Path out = workFolder.resolve("stdout.txt");
        final Path error = workFolder.resolve("stderr.txt");
        final Process process = new ProcessBuilder(whole).redirectOutput(out.toFile()).redirectError(error.toFile()).start();
        if (!process.waitFor(TIME_LIMIT_SECONDS, TimeUnit.SECONDS)) {
            process.destroyForcibly().waitFor();
            throw new AssertionError(String.join(" ", whole) + ": still running after " + TIME_LIMIT_SECONDS + " s");
        }
        return new PackerRun(process.exitValue(), Files.readString(out), Files.readString(error), take(output));
    }

    /** The bytes of the executable written at {@code output}, or null; a prepared output stays for OutputState to see. */
    private static byte[] take(Path output) throws IOException {
        if (!Files.isRegularFile(output, LinkOption.NOFOLLOW_LINKS) || OutputState.PREPARED.contains(output.getFileName().toString())) {
            return Files.isRegularFile(output, LinkOption.NOFOLLOW_LINKS) && OutputState.wasReplaced(output)
                    ? Files.readAllBytes(output) : null;
        }
        final byte[] bytes = Files.readAllBytes(output);
        Files.delete(output);
        return bytes;
    }
}
