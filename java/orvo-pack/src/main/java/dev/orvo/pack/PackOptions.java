package dev.orvo.pack;

import java.util.HashMap;
import java.util.List;
import java.util.Map;
import java.util.Optional;
import java.util.Set;

/** orvo-pack's command line. */
final class PackOptions {
    static final String USAGE = "usage: orvo-pack --launcher orvo64.exe --out MyApp.exe [options]\n"
            + "\n"
            + "Makes a copy of an Orvo launcher that carries the application's own icon,\n"
            + "version information, configuration and jar.\n"
            + "\n"
            + "  --launcher FILE       the launcher to start from (orvo.exe, orvo64.exe, orvoc.exe,\n"
            + "                        orvoc64.exe, or an executable packed before: what it carries\n"
            + "                        is replaced)\n"
            + "  --out FILE            the executable to write: a new file, or a regular file it\n"
            + "                        replaces (a link, folder, device or read-only file is refused)\n"
            + "  --icon FILE.ico       the application's icon, every size in the file\n"
            + "  --version 1.4.2.0     file and product version (needed with the fields below)\n"
            + "  --product-name TEXT   --company TEXT   --description TEXT   --copyright TEXT\n"
            + "                        version texts (the description defaults to the product name)\n"
            + "  --config FILE.ini     the configuration, carried inside the executable\n"
            + "  --jar FILE.jar        the application's jar, appended; turns Embedded Jar on\n"
            + "  --require-admin       the manifest asks Windows for elevation\n"
            + "  --code-page utf-8     the process's code page is UTF-8: paths and options in any\n"
            + "                        script reach the runtime intact (Windows 10 1903 or later,\n"
            + "                        Java 17.0.7 or later, not 18); --code-page system undoes it\n"
            + "  --long-paths          the process may use paths of more than 260 characters\n"
            + "                        (Windows 10 1607 or later, with long paths enabled)\n"
            + "  --console             a console program, as java.exe: the caller waits for it, its\n"
            + "                        messages go to standard error (orvoc.exe, orvoc64.exe)\n"
            + "  --windows             a windowed program, as javaw.exe (orvo.exe, orvo64.exe)\n"
            + "  --help                this text\n"
            + "\n"
            + "Exit status: 0 done, 1 an input is not what it should be, 2 wrong command line,\n"
            + "3 a file cannot be read or the output cannot be written.\n";

    private static final Set<String> TEXT_OPTIONS = Set.of("--launcher", "--out", "--icon", "--config", "--jar",
            "--product-name", "--version", "--company", "--description", "--copyright", "--code-page");
    private static final List<String> VERSION_FIELDS = List.of("--product-name", "--version", "--company", "--description",
            "--copyright");

    private final Map<String, String> values = new HashMap<>();
    private boolean help;
    private boolean requireAdministrator;
    private boolean longPaths;
    private boolean console;
    private boolean windows;

    private PackOptions() {}

    boolean help() {
        return help;
    }

    boolean requireAdministrator() {
        return requireAdministrator;
    }

    boolean longPaths() {
        return longPaths;
    }

    /** --console or --windows; empty when neither is given. */
    Optional<Subsystem> subsystem() {
        return console ? Optional.of(Subsystem.CONSOLE) : windows ? Optional.of(Subsystem.WINDOWS) : Optional.empty();
    }

    /** The value of a text option such as "--icon"; empty when it is not given. */
    Optional<String> value(String name) {
        return Optional.ofNullable(values.get(name));
    }

    boolean hasVersionFields() {
        return VERSION_FIELDS.stream().anyMatch(values::containsKey);
    }

    /**
     * The options in {@code arguments} (without the program's name), as "--name value" or
     * "--name=value". Throws PackError with the usage status for an unknown or repeated
     * option, a missing value, or a missing --launcher or --out (unless --help is given).
     */
    static PackOptions parse(List<String> arguments) {
        final PackOptions options = new PackOptions();
        for (int i = 0; i < arguments.size(); ++i) {
            final String argument = arguments.get(i);
            final int equals = argument.indexOf('=');
            final String name = equals < 0 ? argument : argument.substring(0, equals);
            if (name.equals("--help")) {
                options.help = true;
                continue;
            }
            if (name.equals("--require-admin") && equals < 0) {
                options.requireAdministrator = true;
                continue;
            }
            if (name.equals("--long-paths") && equals < 0) {
                options.longPaths = true;
                continue;
            }
            if (name.equals("--console") && equals < 0) {
                options.console = true;
                continue;
            }
            if (name.equals("--windows") && equals < 0) {
                options.windows = true;
                continue;
            }
            if (!TEXT_OPTIONS.contains(name)) {
                throw usageError("unknown option " + argument);
            }
            if (equals >= 0) {
                options.setOnce(name, argument.substring(equals + 1));
            } else if (i + 1 < arguments.size()) {
                options.setOnce(name, arguments.get(++i));
            } else {
                throw usageError(name + " needs a value");
            }
        }
        if (options.help) {
            return options;
        }
        if (!options.values.containsKey("--launcher") || !options.values.containsKey("--out")) {
            throw usageError("--launcher and --out are required (see --help)");
        }
        if (options.hasVersionFields() && !options.values.containsKey("--version")) {
            throw usageError("--version is needed with the version texts");
        }
        if (options.console && options.windows) {
            throw usageError("--console and --windows exclude each other");
        }
        return options;
    }

    private static PackError usageError(String message) {
        return new PackError(message, ExitStatus.USAGE);
    }

    private void setOnce(String name, String value) {
        if (values.putIfAbsent(name, value) != null) {
            throw usageError(name + " is given twice");
        }
    }
}
