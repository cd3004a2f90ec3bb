package dev.orvo.pack;

import java.io.PrintStream;
import java.nio.charset.StandardCharsets;
import java.util.List;
import java.util.Optional;

/** orvo-pack from its command line to its exit status: the command-line tool, and the same as a library call. */
public final class OrvoPack {
    private OrvoPack() {}

    public static void main(String[] arguments) {
        final PrintStream out = new PrintStream(System.out, true, StandardCharsets.UTF_8);
        final PrintStream error = new PrintStream(System.err, true, StandardCharsets.UTF_8);
        System.exit(run(List.of(arguments), out, error));
    }

    /**
     * Reads the inputs named by the arguments (without the program's name), packs them
     * and writes the output, never in part. Returns the exit status (see --help) after
     * saying what went wrong on {@code error}, one line each; --help prints on {@code out}.
     */
    public static int run(List<String> arguments, PrintStream out, PrintStream error) {
        try {
            return packAndWrite(arguments, out, error);
        } catch (PackError failure) {
            say(error, "orvo-pack: " + failure.getMessage() + "\n");
            return failure.status().code();
        } catch (OutOfMemoryError exhausted) {
            say(error, "orvo-pack: out of memory\n");
            return ExitStatus.FILE_ACCESS.code();
        }
    }

    /** The file name at the end of a path, with "/" or "\" as separators. */
    public static String fileNameOf(String path) {
        final int separator = Math.max(path.lastIndexOf('/'), path.lastIndexOf('\\'));
        return path.substring(separator + 1);
    }

    private static int packAndWrite(List<String> arguments, PrintStream out, PrintStream error) {
        final PackOptions options = PackOptions.parse(arguments);
        if (options.help()) {
            say(out, PackOptions.USAGE);
            return ExitStatus.SUCCESS.code();
        }
        final PackResult result = Packer.pack(readInputs(options));
        for (String note : result.notes()) {
            say(error, "orvo-pack: note: " + note + "\n");
        }
        FileAccess.writeFileReplacing(options.value("--out").get(), result.executableBytes());
        return ExitStatus.SUCCESS.code();
    }

    private static void say(PrintStream stream, String text) {
        stream.print(text);
        stream.flush();
    }

    private static InputFile read(String path) {
        return new InputFile(path, FileAccess.readWholeFile(path));
    }

    private static PackInputs readInputs(PackOptions options) {
        final PackInputs inputs = new PackInputs(read(options.value("--launcher").get()));
        options.value("--icon").map(OrvoPack::read).ifPresent(inputs::icon);
        options.value("--config").map(OrvoPack::read).ifPresent(inputs::config);
        options.value("--jar").map(OrvoPack::read).ifPresent(inputs::jar);
        if (options.hasVersionFields()) {
            inputs.version(versionFrom(options));
        }
        options.value("--code-page").map(OrvoPack::parsedCodePage).ifPresent(inputs::codePage);
        options.subsystem().ifPresent(inputs::subsystem);
        return inputs.requireAdministrator(options.requireAdministrator()).longPaths(options.longPaths());
    }

    private static ManifestSettings.CodePage parsedCodePage(String text) {
        return ManifestSettings.parseCodePage(text)
                .orElseThrow(() -> new PackError("--code-page " + text + ": neither utf-8 nor system", ExitStatus.USAGE));
    }

    private static String withoutExtension(String fileName) {
        final int dot = fileName.lastIndexOf('.');
        return dot <= 0 ? fileName : fileName.substring(0, dot);
    }

    /** The texts Explorer shows; the Task Manager names the process by its description. */
    private static VersionInfo versionFrom(PackOptions options) {
        final String text = options.value("--version").get();
        final VersionNumber number = VersionNumber.parse(text)
                .orElseThrow(() -> new PackError("--version " + text + ": not a version such as 1.4.2.0", ExitStatus.USAGE));
        final VersionInfo info = new VersionInfo(number);
        final String fileName = fileNameOf(options.value("--out").get());
        final Optional<String> productName = options.value("--product-name");
        addIfGiven(info, "CompanyName", options.value("--company"));
        addIfGiven(info, "FileDescription", options.value("--description").or(() -> productName));
        addIfGiven(info, "FileVersion", Optional.of(text));
        addIfGiven(info, "InternalName", Optional.of(withoutExtension(fileName)));
        addIfGiven(info, "LegalCopyright", options.value("--copyright"));
        addIfGiven(info, "OriginalFilename", Optional.of(fileName));
        addIfGiven(info, "ProductName", productName);
        addIfGiven(info, "ProductVersion", Optional.of(text));
        return info;
    }

    private static void addIfGiven(VersionInfo info, String name, Optional<String> value) {
        value.ifPresent(v -> info.with(name, v));
    }
}
