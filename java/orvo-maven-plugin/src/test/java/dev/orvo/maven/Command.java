package dev.orvo.maven;

import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.List;
import java.util.concurrent.TimeUnit;

/** One run of a program with a time limit: a run still going when it passes is ended and fails the test. */
final class Command {
    final int status;
    final String output;
    final long milliseconds;

    private Command(int status, String output, long milliseconds) {
        this.status = status;
        this.output = output;
        this.milliseconds = milliseconds;
    }

    static Command run(List<String> command, Path folder, long limitSeconds) throws IOException, InterruptedException {
        final Path log = Files.createTempFile(folder.getParent(), "command-", ".log");
        final long started = System.nanoTime();
        final Process process = new ProcessBuilder(command).directory(folder.toFile()).redirectErrorStream(true)
                .redirectOutput(log.toFile()).start();
        if (!process.waitFor(limitSeconds, TimeUnit.SECONDS)) {
            process.descendants().forEach(ProcessHandle::destroyForcibly);
            process.destroyForcibly().waitFor();
            throw new AssertionError(String.join(" ", command) + ": still running after " + limitSeconds + " s:\n"
                    + Files.readString(log, StandardCharsets.UTF_8));
        }
        final long milliseconds = (System.nanoTime() - started) / 1_000_000;
        final String output = new String(Files.readAllBytes(log), StandardCharsets.UTF_8);
        Files.delete(log);
        return new Command(process.exitValue(), output, milliseconds);
    }
}
