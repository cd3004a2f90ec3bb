package orvo.test;

import java.awt.Dimension;
import java.awt.SplashScreen;
import java.io.BufferedReader;
import java.io.IOException;
import java.io.InputStreamReader;
import java.io.PrintStream;
import java.net.InetAddress;
import java.net.InetSocketAddress;
import java.net.ProxySelector;
import java.net.URI;
import java.nio.channels.ServerSocketChannel;
import java.nio.channels.SocketChannel;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.nio.file.StandardOpenOption;
import java.util.concurrent.CountDownLatch;
import java.util.concurrent.TimeUnit;
import javax.swing.JFrame;
import javax.swing.SwingUtilities;

/**
 * The Java program of the launcher's end-to-end tests. Its arguments are commands,
 * run from left to right; what they observe is appended as "key=value" lines, in
 * UTF-8, to the results file: the one named by the last "results" command, else the
 * one named by the environment variable ORVO_PROBE_RESULTS, else standard output.
 * Each line is written (and the file closed) at once, so a test reads everything
 * observed before the program ended, whichever way it ended. The first two lines
 * are always "main=started" and "process=" with the executable hosting the VM.
 *
 * <p>Commands: {@code results PATH}, {@code print-args}, {@code print-env NAME},
 * {@code print-prop NAME}, {@code max-memory}, {@code code-source},
 * {@code stdout TEXT}, {@code stderr TEXT}, {@code echo-stdin} (standard input's lines
 * to standard output, up to its end), {@code sleep MS},
 * {@code wait-file PATH} (at most two minutes), {@code write-file PATH TEXT},
 * {@code non-daemon-thread MS PATH}, {@code load-library PATH}, {@code open-java-lang}, {@code exit N},
 * {@code throw TEXT}, {@code return N} (the value {@code secondaryMain} returns),
 * {@code wait-stop} (until a stop method below is called, at most two minutes),
 * {@code stop-hangs} (the stop methods then never return), {@code shutdown-hook}
 * (a hook that reports "hook=ran"),
 * {@code show-window MS} (a Swing frame titled "Orvo probe window", shown for that
 * long and then disposed), {@code splash-screen} (what Java's SplashScreen API sees),
 * {@code network} (asks the system's proxy settings, then connects to itself over the
 * loopback address: the runtime's network libraries are loaded), and {@code --}, after
 * which the remaining arguments are data (shown by print-args only). An unknown
 * command ends the program with status 99.
 *
 * <p>{@code secondaryMain}, which the launcher calls in a running instance for every
 * later start, runs its arguments as commands the same way; its lines carry the
 * prefix "secondary.", its first line is "secondary.started=" with the thread's name.
 * {@link VoidSecondary} is the same program with a {@code void secondaryMain}.
 *
 * <p>{@code stop()} and {@code stopWithArguments(String[])} are the stop methods a
 * service calls: they report "stop=called" (the second also "stop.args=" with its
 * arguments joined by blanks) in main's results file and release {@code wait-stop}.
 */
public final class Probe {
    private static final int UNKNOWN_COMMAND_STATUS = 99;
    private static final long WAIT_FILE_LIMIT_MS = 120_000;
    private static final CountDownLatch STOP = new CountDownLatch(1);
    private static volatile Probe mainProbe;
    private static volatile boolean stopHangs;

    private Path results;
    private final String[] args;
    private final String keyPrefix;
    private int next;
    private int returnValue;

    private Probe(String[] args, String keyPrefix) {
        this.args = args;
        this.keyPrefix = keyPrefix;
        String fromEnvironment = System.getenv("ORVO_PROBE_RESULTS");
        results = fromEnvironment == null || fromEnvironment.isEmpty() ? null : Paths.get(fromEnvironment);
    }

    public static void main(String[] args) throws Exception {
        Probe probe = new Probe(args, "");
        mainProbe = probe;
        probe.report("main", "started");
        probe.report("process", ProcessHandle.current().info().command().orElse(""));
        probe.run();
        probe.report("main", "returned");
    }

    public static int secondaryMain(String[] args) throws Exception {
        Probe probe = new Probe(args, "secondary.");
        probe.report("started", Thread.currentThread().getName());
        probe.run();
        return probe.returnValue;
    }

    public static void stop() throws Exception {
        stopRequested();
    }

    public static void stopWithArguments(String[] args) throws Exception {
        mainProbe.report("stop.args", String.join(" ", args));
        stopRequested();
    }

    private static void stopRequested() throws Exception {
        mainProbe.report("stop", "called");
        while (stopHangs) Thread.sleep(Long.MAX_VALUE);
        STOP.countDown();
    }

    private void run() throws Exception {
        while (next < args.length) {
            String command = args[next++];
            if (command.equals("--")) return;
            runCommand(command);
        }
    }

    private void runCommand(String command) throws Exception {
        switch (command) {
            case "results": results = Paths.get(take()); break;
            case "print-args": printArgs(); break;
            case "print-env": printValue("env." + peek(), System.getenv(take())); break;
            case "print-prop": printValue("prop." + peek(), System.getProperty(take())); break;
            case "max-memory": report("max-memory", Long.toString(Runtime.getRuntime().maxMemory())); break;
            case "code-source": report("code-source", codeSource()); break;
            case "stdout": System.out.println(take()); System.out.flush(); break;
            case "stderr": System.err.println(take()); System.err.flush(); break;
            case "echo-stdin": echoStandardInput(); break;
            case "sleep": Thread.sleep(Long.parseLong(take())); break;
            case "wait-file": waitForFile(Paths.get(take())); break;
            case "return": returnValue = Integer.parseInt(take()); break;
            case "write-file": writeFile(Paths.get(take()), take()); break;
            case "non-daemon-thread": startNonDaemonThread(Long.parseLong(take()), Paths.get(take())); break;
            case "load-library": loadLibrary(take()); break;
            case "open-java-lang": openJavaLang(); break;
            case "exit": exit(Integer.parseInt(take())); break;
            case "throw": throw new IllegalStateException(take());
            case "show-window": showWindow(Long.parseLong(take())); break;
            case "splash-screen": reportSplashScreen(); break;
            case "network": useNetwork(); break;
            case "wait-stop": STOP.await(WAIT_FILE_LIMIT_MS, TimeUnit.MILLISECONDS); break;
            case "stop-hangs": stopHangs = true; break;
            case "shutdown-hook": addShutdownHook(); break;
            default:
                report("error", "unknown command " + command);
                System.exit(UNKNOWN_COMMAND_STATUS);
        }
    }

    private String peek() {
        if (next >= args.length) throw new IllegalArgumentException("argument missing at the end");
        return args[next];
    }

    private String take() {
        String value = peek();
        ++next;
        return value;
    }

    private void printArgs() throws IOException {
        report("args.count", Integer.toString(args.length));
        for (int i = 0; i < args.length; ++i) report("arg." + i, args[i]);
    }

    private void printValue(String key, String value) throws IOException {
        if (value == null) report("unset." + key, "");
        else report(key, value);
    }

    /** Reports "loaded=PATH", or "load-error=" with the reason the VM gives. */
    private void loadLibrary(String path) throws IOException {
        try {
            System.load(path);
            report("loaded", path);
        } catch (UnsatisfiedLinkError e) {
            report("load-error", e.getMessage());
        }
    }

    /**
     * Reports "java-lang=open" when reflection may reach into java.lang (the VM was
     * given --add-opens java.base/java.lang=ALL-UNNAMED), else "java-lang=closed" and
     * the reason.
     */
    private void openJavaLang() throws IOException {
        try {
            java.lang.reflect.Field value = String.class.getDeclaredField("value");
            value.setAccessible(true);
            report("java-lang", "open");
        } catch (RuntimeException | NoSuchFieldException e) {
            report("java-lang", "closed");
            report("java-lang.reason", e.toString());
        }
    }

    private void exit(int status) throws IOException {
        report("exit", Integer.toString(status));
        System.exit(status);
    }

    private static String codeSource() throws Exception {
        return Paths.get(Probe.class.getProtectionDomain().getCodeSource().getLocation().toURI()).toString();
    }

    private void showWindow(long ms) throws Exception {
        JFrame[] frame = new JFrame[1];
        SwingUtilities.invokeAndWait(() -> {
            frame[0] = new JFrame("Orvo probe window");
            frame[0].setSize(320, 200);
            frame[0].setLocation(40, 40);
            frame[0].setVisible(true);
        });
        report("window", "shown");
        Thread.sleep(ms);
        SwingUtilities.invokeAndWait(() -> frame[0].dispose());
        report("window", "disposed");
    }

    private void reportSplashScreen() throws IOException {
        SplashScreen splash = SplashScreen.getSplashScreen();
        if (splash == null) {
            report("splash", "none");
            return;
        }
        Dimension size = splash.getSize();
        report("splash", splash.isVisible() ? "visible" : "hidden");
        report("splash.size", size.width + "x" + size.height);
        report("splash.image", String.valueOf(splash.getImageURL()));
    }

    /** Reports "proxy=" with the proxy the system names for a local address, then "network=connected". */
    private void useNetwork() throws IOException {
        System.setProperty("java.net.useSystemProxies", "true");
        report("proxy", String.valueOf(ProxySelector.getDefault().select(URI.create("http://127.0.0.1/"))));
        try (ServerSocketChannel server = ServerSocketChannel.open()) {
            server.bind(new InetSocketAddress(InetAddress.getLoopbackAddress(), 0));
            try (SocketChannel client = SocketChannel.open(server.getLocalAddress());
                    SocketChannel accepted = server.accept()) {
                report("network", client.isConnected() && accepted.isConnected() ? "connected" : "not connected");
            }
        }
    }

    private void addShutdownHook() {
        Runtime.getRuntime().addShutdownHook(new Thread(() -> {
            try {
                report("hook", "ran");
            } catch (IOException e) {
                e.printStackTrace();
            }
        }, "orvo-probe-hook"));
    }

    private static void echoStandardInput() throws IOException {
        BufferedReader input = new BufferedReader(new InputStreamReader(System.in, StandardCharsets.UTF_8));
        for (String line = input.readLine(); line != null; line = input.readLine()) System.out.println(line);
        System.out.flush();
    }

    private static void waitForFile(Path path) throws InterruptedException {
        long deadline = System.currentTimeMillis() + WAIT_FILE_LIMIT_MS;
        while (!Files.exists(path) && System.currentTimeMillis() < deadline) Thread.sleep(20);
    }

    private static void startNonDaemonThread(long sleepMs, Path marker) {
        Thread thread = new Thread(() -> {
            try {
                Thread.sleep(sleepMs);
                writeFile(marker, "done");
            } catch (InterruptedException | IOException e) {
                e.printStackTrace();
            }
        }, "orvo-probe-worker");
        thread.setDaemon(false);
        thread.start();
    }

    private static void writeFile(Path path, String text) throws IOException {
        Files.write(path, text.getBytes(StandardCharsets.UTF_8));
    }

    /** Appends one line; backslashes, carriage returns and line feeds are escaped. */
    private synchronized void report(String key, String value) throws IOException {
        String line = keyPrefix + key + "=" + escape(value) + "\n";
        if (results == null) {
            PrintStream out = new PrintStream(System.out, true, "UTF-8");
            out.print(line);
            out.flush();
            return;
        }
        Files.write(results, line.getBytes(StandardCharsets.UTF_8), StandardOpenOption.CREATE,
                StandardOpenOption.APPEND);
    }

    private static String escape(String text) {
        return text.replace("\\", "\\\\").replace("\r", "\\r").replace("\n", "\\n");
    }
}
