package dev.orvo.maven;

import dev.orvo.pack.OrvoPack;
import java.io.ByteArrayOutputStream;
import java.io.File;
import java.io.IOException;
import java.io.PrintStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;
import java.util.Optional;
import org.apache.maven.plugin.AbstractMojo;
import org.apache.maven.plugin.MojoExecutionException;
import org.apache.maven.plugin.MojoFailureException;
import org.apache.maven.plugins.annotations.Component;
import org.apache.maven.plugins.annotations.LifecyclePhase;
import org.apache.maven.plugins.annotations.Mojo;
import org.apache.maven.plugins.annotations.Parameter;
import org.apache.maven.project.MavenProject;
import org.apache.maven.project.MavenProjectHelper;

/**
 * Packs the project's jar into a Windows executable: a copy of an Orvo launcher that
 * carries the application's icon, version, configuration and jar. With no
 * configuration at all, target/ARTIFACT.exe starts the Main-Class of the jar's manifest.
 */
@Mojo(name = "pack", defaultPhase = LifecyclePhase.PACKAGE, threadSafe = true)
public final class PackMojo extends AbstractMojo {
    private static final String X64 = "x64";
    private static final String X86_WITH_X64 = "x86+x64";

    @Parameter(defaultValue = "${project}", readonly = true, required = true)
    private MavenProject project;

    @Component
    private MavenProjectHelper projectHelper;

    /** "windowed" (no console window) or "console". */
    @Parameter(property = "orvo.kind", defaultValue = "windowed")
    private String kind;

    /**
     * "x64": one 64-bit executable; "x86+x64": a 32-bit one, NAME.exe, that hands the
     * launch to its 64-bit pair, NAME64.exe, when the runtime it finds is 64-bit.
     */
    @Parameter(property = "orvo.architecture", defaultValue = X64)
    private String architecture;

    /** The application's icon (.ico, every size in it). The launcher's own icon when not given. */
    @Parameter(property = "orvo.icon")
    private File icon;

    /**
     * File and product version, such as 1.4.2.0. From the project's version when not
     * given. (No user property: "orvo.version" is what POMs call the plugin's own version.)
     */
    @Parameter
    private String version;

    @Parameter(property = "orvo.productName", defaultValue = "${project.name}")
    private String productName;

    @Parameter(property = "orvo.company", defaultValue = "${project.organization.name}")
    private String company;

    /** What the Task Manager names the process; the product name when not given. */
    @Parameter(property = "orvo.description")
    private String description;

    @Parameter(property = "orvo.copyright")
    private String copyright;

    /** The configuration as a file (an INI file as the launcher reads it). */
    @Parameter(property = "orvo.configFile")
    private File configFile;

    /** The configuration as INI text in the POM; give this or configFile. */
    @Parameter
    private String config;

    /** The jar the executable carries: the project's main artifact when not given (or a shaded jar, say). */
    @Parameter(property = "orvo.jar")
    private File jar;

    /** The class the launcher starts: the jar manifest's Main-Class when not given. */
    @Parameter(property = "orvo.mainClass")
    private String mainClass;

    /** The manifest asks Windows for elevation. */
    @Parameter(property = "orvo.requireAdministrator", defaultValue = "false")
    private boolean requireAdministrator;

    /** "utf-8" makes UTF-8 the process code page (any folder name reaches the runtime intact); "system" keeps the system's. */
    @Parameter(property = "orvo.codePage")
    private String codePage;

    /** The manifest declares the program long-path aware. */
    @Parameter(property = "orvo.longPaths", defaultValue = "false")
    private boolean longPaths;

    /** The executable's name, without ".exe". */
    @Parameter(property = "orvo.outputName", defaultValue = "${project.artifactId}")
    private String outputName;

    @Parameter(defaultValue = "${project.build.directory}", readonly = true)
    private File outputDirectory;

    @Parameter(property = "orvo.skip", defaultValue = "false")
    private boolean skip;

    @Override
    public void execute() throws MojoExecutionException, MojoFailureException {
        if (skip) {
            getLog().info("Skipping the Windows executable (orvo.skip)");
            return;
        }
        final LauncherKind launcherKind = launcherKind();
        final boolean pair = pairOfLaunchers();
        final File applicationJar = applicationJar();
        try {
            final Path work = outputDirectory.toPath().resolve("orvo");
            final String text = configText(applicationJar);
            if (pair) {
                final String pairName = outputName + "64.exe";
                pack(CarriedLaunchers.copy(launcherKind, true, work), work, text, applicationJar, pairName, "x64");
                // The 32-bit one waits for its pair, so that a caller sees the application's exit code.
                final String handingOver = ApplicationConfig.parse(text)
                        .withDefault(ApplicationConfig.APPLICATION_SECTION, "Pair Product", pairName)
                        .withDefault(ApplicationConfig.APPLICATION_SECTION, "Pair Return Code", "Yes").text();
                pack(CarriedLaunchers.copy(launcherKind, false, work), work, handingOver, applicationJar, outputName + ".exe", null);
            } else {
                pack(CarriedLaunchers.copy(launcherKind, true, work), work, text, applicationJar, outputName + ".exe", null);
            }
        } catch (IOException error) {
            throw new MojoExecutionException("orvo: " + error.getMessage(), error);
        }
    }

    private LauncherKind launcherKind() throws MojoFailureException {
        final LauncherKind named = LauncherKind.named(kind);
        if (named == null) {
            throw new MojoFailureException("orvo: kind " + kind + ": give windowed or console");
        }
        if (!CarriedLaunchers.isCarried(named, true)) {
            throw new MojoFailureException("orvo: this plugin carries no " + kind + " launchers");
        }
        return named;
    }

    private boolean pairOfLaunchers() throws MojoFailureException {
        if (!X64.equals(architecture) && !X86_WITH_X64.equals(architecture)) {
            throw new MojoFailureException("orvo: architecture " + architecture + ": give " + X64 + " or " + X86_WITH_X64);
        }
        return X86_WITH_X64.equals(architecture);
    }

    private File applicationJar() throws MojoFailureException {
        if (jar != null) {
            return jar;
        }
        final File artifact = project.getArtifact().getFile();
        if (artifact == null || !artifact.isFile()) {
            throw new MojoFailureException("orvo: the project has no jar to carry yet; run the goal after the jar is made"
                    + " (the package phase) or give <jar>");
        }
        return artifact;
    }

    /** The configuration the executable carries, with the main class set. */
    private String configText(File applicationJar) throws IOException, MojoFailureException {
        if (configFile != null && config != null) {
            throw new MojoFailureException("orvo: give the configuration as <configFile> or as <config>, not both");
        }
        final String given = configFile != null ? configFileText() : config != null ? config : "";
        final ApplicationConfig parsed = ApplicationConfig.parse(given);
        if (parsed.has(ApplicationConfig.RUNTIME_SECTION, "Main Class")) {
            return parsed.text();
        }
        final Optional<String> startClass = mainClass != null ? Optional.of(mainClass) : JarManifest.mainClass(applicationJar);
        if (startClass.isEmpty()) {
            throw new MojoFailureException("orvo: no main class: give <mainClass>, or a Main-Class in the manifest of "
                    + applicationJar);
        }
        return parsed.withDefault(ApplicationConfig.RUNTIME_SECTION, "Main Class", startClass.get()).text();
    }

    /** The configuration file's text; one that cannot be read as text fails the build as bad input. */
    private String configFileText() throws MojoFailureException {
        try {
            return ConfigFileText.read(configFile.toPath());
        } catch (IOException error) {
            throw new MojoFailureException("orvo: " + error.getMessage(), error);
        }
    }

    private void pack(Path launcher, Path work, String configText, File applicationJar, String fileName, String classifier)
            throws IOException, MojoFailureException {
        final Path configPath = work.resolve(fileName + ".ini");
        Files.write(configPath, configText.getBytes(StandardCharsets.UTF_8));
        final File executable = new File(outputDirectory, fileName);
        final List<String> arguments = new ArrayList<>(List.of("--launcher", launcher.toString(), "--out", executable.getPath(),
                "--config", configPath.toString(), "--jar", applicationJar.getPath(),
                "--version", version != null ? version : WindowsVersion.of(project.getVersion())));
        addIfGiven(arguments, "--icon", icon == null ? null : icon.getPath());
        addIfGiven(arguments, "--product-name", productName);
        addIfGiven(arguments, "--company", company);
        addIfGiven(arguments, "--description", description);
        addIfGiven(arguments, "--copyright", copyright);
        if (requireAdministrator) {
            arguments.add("--require-admin");
        }
        addIfGiven(arguments, "--code-page", codePage);
        if (longPaths) {
            arguments.add("--long-paths");
        }
        runPacker(arguments);
        getLog().info("Packed " + executable);
        projectHelper.attachArtifact(project, "exe", classifier, executable);
    }

    private static void addIfGiven(List<String> arguments, String option, String value) {
        if (value != null && !value.isEmpty()) {
            arguments.add(option);
            arguments.add(value);
        }
    }

    /** Runs the packer; its notes become warnings, and its failure fails the build with its message. */
    private void runPacker(List<String> arguments) throws MojoFailureException {
        final ByteArrayOutputStream messages = new ByteArrayOutputStream();
        final int status = OrvoPack.run(arguments, new PrintStream(new ByteArrayOutputStream(), true, StandardCharsets.UTF_8),
                new PrintStream(messages, true, StandardCharsets.UTF_8));
        final String text = messages.toString(StandardCharsets.UTF_8).trim();
        if (status != 0) {
            throw new MojoFailureException(text);
        }
        if (!text.isEmpty()) {
            for (String line : text.split("\n")) {
                getLog().warn(line);
            }
        }
    }
}
