<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AddMoreOverlay</name>
    <message>
        <source>Add more images</source>
        <translation>Weitere Bilder hinzufügen</translation>
    </message>
</context>
<context>
    <name>BaseCommandWorker</name>
    <message>
        <source>Exit code: %1</source>
        <translation>Exit-Code: %1</translation>
    </message>
    <message>
        <source>Could not read input file</source>
        <translation>Die Eingabedatei konnte nicht gelesen werden</translation>
    </message>
    <message>
        <source>Could not create output file</source>
        <translation>Die Ausgabedatei konnte nicht angelegt werden</translation>
    </message>
    <message>
        <source>Stopped after running for %1 s</source>
        <translation>Nach %1 s Laufzeit angehalten</translation>
    </message>
    <message>
        <source>Not started: the batch was cancelled</source>
        <translation>Nicht gestartet: der Durchlauf wurde abgebrochen</translation>
    </message>
</context>
<context>
    <name>BaseWorker</name>
    <message>
        <source>No job available</source>
        <translation>Kein Auftrag vorhanden</translation>
    </message>
    <message>
        <source>No input file available</source>
        <translation>Keine Eingabedatei vorhanden</translation>
    </message>
</context>
<context>
    <name>CircularGaugeView</name>
    <message>
        <source>%1 %2, %3 % done</source>
        <translation>%1 %2, %3 % erledigt</translation>
    </message>
</context>
<context>
    <name>CommandLineOptions</name>
    <message>
        <source>unknown preset “%1”: choose lossless, balanced or maximum</source>
        <translation>unbekannte Voreinstellung „%1“: lossless, balanced oder maximum wählen</translation>
    </message>
    <message>
        <source>--in-place and --export cannot be used together</source>
        <translation>--in-place und --export können nicht zusammen verwendet werden</translation>
    </message>
    <message>
        <source>--export needs a folder</source>
        <translation>--export benötigt einen Ordner</translation>
    </message>
    <message>
        <source>--export needs a folder, not “%1”; a folder of that name is written ./%1</source>
        <translation>--export benötigt einen Ordner, nicht „%1“; ein Ordner dieses Namens wird als ./%1 angegeben</translation>
    </message>
    <message>
        <source>--jobs takes a whole number from 1 to 256</source>
        <translation>--jobs erwartet eine ganze Zahl von 1 bis 256</translation>
    </message>
    <message>
        <source>--quiet and --verbose cannot be used together</source>
        <translation>--quiet und --verbose können nicht zusammen verwendet werden</translation>
    </message>
    <message>
        <source>--statistics takes no files or folders</source>
        <translation>--statistics nimmt keine Dateien oder Ordner an</translation>
    </message>
    <message>
        <source>no files or folders given</source>
        <translation>keine Dateien oder Ordner angegeben</translation>
    </message>
    <message>
        <source>--settle goes with --watch</source>
        <translation>--settle gehört zu --watch</translation>
    </message>
    <message>
        <source>--settle takes a number of seconds from 0.1 to 3600</source>
        <translation>--settle nimmt eine Anzahl Sekunden von 0.1 bis 3600</translation>
    </message>
    <message>
        <source>--watch and --statistics cannot be used together</source>
        <translation>--watch und --statistics können nicht zusammen verwendet werden</translation>
    </message>
    <message>
        <source>--in-place, --export and --preset go with the folders given to --watch; the watched folders of the settings keep their own</source>
        <translation>--in-place, --export und --preset gehören zu den Ordnern, die --watch genannt werden; die beobachteten Ordner der Einstellungen behalten ihre eigenen</translation>
    </message>
    <message>
        <source>Usage: pressly [OPTIONS] PATH...
       pressly --watch [DIR... [--in-place | --export DIR] [--preset P]] [--settle SECONDS]
       pressly --statistics [--json]

Makes PNG, JPEG, GIF, SVG, WebP, HEIC and DNG images smaller without changing how they look
(lossy presets change pixels only by their quantisation). PATHs are files or folders; folders
are searched at any depth, skipping hidden files and folders (names starting with &quot;.&quot;).

Options (each applies to this run only; nothing is stored):
  --preset lossless|balanced|maximum
                   how hard to compress (default: the stored preset, at first &quot;balanced&quot;)
  --in-place       replace each original with its smaller version; the original goes to
                   the Trash, where it can be restored
  --export DIR     write smaller copies into DIR (created if needed); originals stay as they
                   are, and files that could not be made smaller are copied unchanged
                   (default mode: the stored one, at first export to the stored folder)
  --jobs N         run at most N files at once (default: the number of cores)
  --no-cache       optimize even files the results cache knows, and record nothing in it
  --json           print one JSON object per file and one summary object on standard
                   output, and nothing else there (log lines go to standard error)
  --quiet, -q      print only the summary
  --verbose, -v    also print what each tool does (see QT_LOGGING_RULES below)
  --statistics     show the all-time figures and every batch, of the window&apos;s runs and
                   of this command&apos;s alike (with --json as one JSON object)
  --watch          keep watching the folders given, at any depth, and optimize each image
                   written or moved into them once it has settled, until SIGINT or SIGTERM;
                   files there before are left alone, hidden files and downloads in progress
                   (.part, .crdownload, .download, .tmp, ~) are never touched, and a file
                   optimized or failed once is taken again only when it changes; without
                   DIR, the watched folders of the settings, each with its own mode and
                   preset (exporting to the settings&apos; export folder), following changes to
                   them; a folder the window watches is taken once the window lets go
  --settle SECONDS with --watch, how long a file must keep its size and time before it is
                   taken (default: 2)
  --version        show the version
  --help, -h       show this text

Without --json and --quiet, one line per file tells its sizes before and after and the tools
that won, or why it failed; then the summary. Colour is used on a terminal unless NO_COLOR is
set. QT_LOGGING_RULES picks log lines by category: pressly.tools (each tool run),
pressly.results (an &quot;Optimized&quot; line per file), pressly.jobs, pressly.scheduler,
pressly.store and pressly.vips; warnings are on, the rest off. E.g.
QT_LOGGING_RULES=&quot;pressly.tools=true&quot;.

Exit status: 0 when no file failed, 1 when any file failed or a path given is missing or
not a supported image, 2 for a usage error (and for --watch without DIR when the settings
list no watched folders; 0 at once when watching is paused there); 130, 143 or 129 when
SIGINT, SIGTERM or SIGHUP stopped the run (the tools are stopped and every working file
removed; press Ctrl+C again to end the tools at once).
Statistics of every run are kept with those of the window; the results cache and the
statistics live under $XDG_DATA_HOME and $XDG_CONFIG_HOME.
</source>
        <translation>Aufruf: pressly [OPTIONEN] PFAD …
        pressly --watch [ORDNER … [--in-place | --export ORDNER] [--preset P]] [--settle SEKUNDEN]
        pressly --statistics [--json]

Macht PNG-, JPEG-, GIF-, SVG-, WebP-, HEIC- und DNG-Bilder kleiner, ohne ihr Aussehen zu ändern
(verlustbehaftete Voreinstellungen ändern Pixel nur durch ihre Quantisierung). PFADe sind Dateien
oder Ordner; Ordner werden in jeder Tiefe durchsucht, versteckte Dateien und Ordner (Namen, die
mit „.“ beginnen) werden übersprungen.

Optionen (jede gilt nur für diesen Aufruf; nichts wird gespeichert):
  --preset lossless|balanced|maximum
                   wie stark komprimiert wird (Vorgabe: die gespeicherte Voreinstellung,
                   anfangs „balanced“)
  --in-place       jedes Original durch seine kleinere Version ersetzen; das Original kommt
                   in den Papierkorb und lässt sich von dort wiederherstellen
  --export ORDNER  kleinere Kopien nach ORDNER schreiben (wird bei Bedarf angelegt); die
                   Originale bleiben unverändert, und Dateien, die nicht kleiner wurden,
                   werden unverändert kopiert (Vorgabe: die gespeicherte Betriebsart,
                   anfangs Export in den gespeicherten Ordner)
  --jobs N         höchstens N Dateien gleichzeitig bearbeiten (Vorgabe: Anzahl der Kerne)
  --no-cache       auch Dateien optimieren, die der Ergebnis-Cache kennt, und nichts darin
                   vermerken
  --json           ein JSON-Objekt je Datei und ein Objekt mit der Zusammenfassung auf der
                   Standardausgabe ausgeben und sonst nichts (Protokollzeilen gehen auf die
                   Standardfehlerausgabe)
  --quiet, -q      nur die Zusammenfassung ausgeben
  --verbose, -v    auch ausgeben, was jedes Werkzeug tut (siehe QT_LOGGING_RULES unten)
  --statistics     die Gesamtwerte und jeden Durchlauf anzeigen, aus dem Fenster wie aus
                   diesem Befehl (mit --json als ein JSON-Objekt)
  --watch          die angegebenen Ordner in jeder Tiefe weiter beobachten und jedes Bild, das
                   hineingeschrieben oder -verschoben wird, optimieren, sobald es zur Ruhe
                   gekommen ist, bis SIGINT oder SIGTERM; vorher vorhandene Dateien bleiben
                   unberührt, versteckte Dateien und laufende Downloads (.part, .crdownload,
                   .download, .tmp, ~) werden nie angefasst, und eine einmal optimierte oder
                   fehlgeschlagene Datei wird erst wieder genommen, wenn sie sich ändert;
                   ohne ORDNER die beobachteten Ordner der Einstellungen, jeder mit seiner
                   eigenen Betriebsart und Voreinstellung (Export in den Exportordner der
                   Einstellungen), und Änderungen daran werden übernommen; einen Ordner, den
                   das Fenster beobachtet, übernimmt es, sobald das Fenster ihn freigibt
  --settle SEKUNDEN
                   mit --watch: wie lange eine Datei Größe und Zeit behalten muss, bevor sie
                   genommen wird (Vorgabe: 2)
  --version        die Version anzeigen
  --help, -h       diesen Text anzeigen

Ohne --json und --quiet nennt je Datei eine Zeile die Größe vorher und nachher und die
erfolgreichen Werkzeuge oder den Grund des Fehlschlags; danach folgt die Zusammenfassung. Auf
einem Terminal wird Farbe verwendet, sofern NO_COLOR nicht gesetzt ist. QT_LOGGING_RULES wählt
Protokollzeilen nach Kategorie: pressly.tools (jeder Werkzeuglauf), pressly.results (eine
„Optimized“-Zeile je Datei), pressly.jobs, pressly.scheduler, pressly.store und pressly.vips;
Warnungen sind an, der Rest aus. Z. B. QT_LOGGING_RULES=&quot;pressly.tools=true&quot;.

Exit-Status: 0, wenn keine Datei fehlschlug; 1, wenn eine Datei fehlschlug oder ein angegebener
Pfad fehlt oder kein unterstütztes Bild ist; 2 bei falschem Aufruf (und bei --watch ohne
ORDNER, wenn die Einstellungen keine beobachteten Ordner nennen; sofort 0, wenn das Beobachten
dort pausiert ist); 130, 143 oder 129, wenn
SIGINT, SIGTERM oder SIGHUP den Lauf beendet hat (die Werkzeuge werden angehalten und alle
Arbeitsdateien entfernt; ein erneutes Strg+C beendet die Werkzeuge sofort).
Die Statistik jedes Laufs wird gemeinsam mit der des Fensters geführt; Ergebnis-Cache und
Statistik liegen unter $XDG_DATA_HOME und $XDG_CONFIG_HOME.
</translation>
    </message>
</context>
<context>
    <name>CommandLineRun</name>
    <message>
        <source>no export folder is set: pass --export DIR to write copies there, or --in-place to replace the originals</source>
        <translation>kein Exportordner festgelegt: mit --export ORDNER Kopien dorthin schreiben oder mit --in-place die Originale ersetzen</translation>
    </message>
    <message>
        <source>%1: the name is not valid UTF-8, which this program cannot open; rename it</source>
        <translation>%1: Der Name ist kein gültiges UTF-8, deshalb kann dieses Programm die Datei nicht öffnen; bitte umbenennen</translation>
    </message>
    <message>
        <source>%1: no such file or folder</source>
        <translation>%1: Datei oder Ordner nicht vorhanden</translation>
    </message>
    <message>
        <source>%1: not a supported image (png, jpg, gif, svg, webp, heic, dng)</source>
        <translation>%1: kein unterstütztes Bild (png, jpg, gif, svg, webp, heic, dng)</translation>
    </message>
    <message>
        <source>pressly: stopping (%1); press again to stop the tools at once</source>
        <translation>pressly: wird angehalten (%1); erneut drücken, um die Werkzeuge sofort zu beenden</translation>
    </message>
    <message>
        <source>Stopped by a signal</source>
        <translation>Durch ein Signal angehalten</translation>
    </message>
    <message>
        <source>watching is paused in the settings; nothing to do until it resumes</source>
        <translation>das Beobachten ist in den Einstellungen pausiert; nichts zu tun, bis es weitergeht</translation>
    </message>
    <message>
        <source>no watched folders in the settings: add them in the window&apos;s settings, or name folders: pressly --watch DIR...</source>
        <translation>keine beobachteten Ordner in den Einstellungen: im Fenster in den Einstellungen hinzufügen oder Ordner nennen: pressly --watch ORDNER …</translation>
    </message>
</context>
<context>
    <name>ComparisonView</name>
    <message>
        <source>Original</source>
        <translation>Original</translation>
    </message>
    <message>
        <source>Optimized</source>
        <translation>Optimiert</translation>
    </message>
    <message>
        <source>Left and Right move it</source>
        <translation>Pfeil links und rechts verschieben sie</translation>
    </message>
    <message>
        <source>Divider between original and optimized: %1%</source>
        <translation>Trennlinie zwischen Original und optimierter Datei: %1 %</translation>
    </message>
</context>
<context>
    <name>DialogPrompts</name>
    <message>
        <source>Choose Folder</source>
        <translation>Ordner auswählen</translation>
    </message>
    <message>
        <source>Images (%1)</source>
        <translation>Bilder (%1)</translation>
    </message>
    <message>
        <source>Add Files</source>
        <translation>Dateien hinzufügen</translation>
    </message>
    <message>
        <source>Add Folder</source>
        <translation>Ordner hinzufügen</translation>
    </message>
    <message>
        <source>Export Sessions</source>
        <translation>Sitzungen exportieren</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV-Dateien (*.csv)</translation>
    </message>
</context>
<context>
    <name>DropZoneView</name>
    <message>
        <source>Drop images here</source>
        <translation>Bilder hier ablegen</translation>
    </message>
    <message>
        <source>or browse to select files and folders</source>
        <translation>oder Dateien und Ordner auswählen</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>Durchsuchen</translation>
    </message>
    <message>
        <source>Ctrl+O to browse</source>
        <translation>Strg+O zum Durchsuchen</translation>
    </message>
    <message>
        <source>Choose images or folders to optimize (Ctrl+O)</source>
        <translation>Bilder oder Ordner zum Optimieren wählen (Strg+O)</translation>
    </message>
</context>
<context>
    <name>ExportFolderBookmark</name>
    <message>
        <source>The folder “%1” doesn’t exist.</source>
        <translation>Der Ordner „%1“ existiert nicht.</translation>
    </message>
    <message>
        <source>The bookmark data is corrupted.</source>
        <translation>Die Lesezeichendaten sind beschädigt.</translation>
    </message>
</context>
<context>
    <name>FallbackReencoder</name>
    <message>
        <source>File too large (&gt;100 megapixels)</source>
        <translation>Datei zu groß (&gt;100 Megapixel)</translation>
    </message>
    <message>
        <source>Could not read %1 image</source>
        <translation>Das %1-Bild konnte nicht gelesen werden</translation>
    </message>
    <message>
        <source>Could not create %1 output</source>
        <translation>Die %1-Ausgabe konnte nicht angelegt werden</translation>
    </message>
    <message>
        <source>Could not save optimized %1</source>
        <translation>Die optimierte %1-Datei konnte nicht gespeichert werden</translation>
    </message>
    <message>
        <source>File too large (&gt;50MB)</source>
        <translation>Datei zu groß (&gt;50 MB)</translation>
    </message>
    <message>
        <source>The file “%1” doesn’t exist.</source>
        <translation>Die Datei „%1“ existiert nicht.</translation>
    </message>
</context>
<context>
    <name>FileOperations</name>
    <message>
        <source>it couldn’t be read (%1)</source>
        <translation>sie konnte nicht gelesen werden (%1)</translation>
    </message>
    <message>
        <source>it couldn’t be written (%1)</source>
        <translation>sie konnte nicht geschrieben werden (%1)</translation>
    </message>
    <message>
        <source>%1 bytes were read where %2 were expected</source>
        <translation>%1 Byte gelesen, %2 erwartet</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>sie ist keine reguläre Datei</translation>
    </message>
    <message>
        <source>it has %1 names (hard links), and a new version would part it from the others</source>
        <translation>sie hat %1 Namen (harte Verknüpfungen), und eine neue Version würde sie von den anderen trennen</translation>
    </message>
    <message>
        <source>The folder “%1” couldn’t be created: “%2” is not a folder.</source>
        <translation>Der Ordner „%1“ konnte nicht angelegt werden: „%2“ ist kein Ordner.</translation>
    </message>
    <message>
        <source>The folder “%1” couldn’t be created: %2</source>
        <translation>Der Ordner „%1“ konnte nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>The file “%1” couldn’t be copied to “%2”: %3</source>
        <translation>Die Datei „%1“ konnte nicht nach „%2“ kopiert werden: %3</translation>
    </message>
    <message>
        <source>an item named “%1” already exists</source>
        <translation>ein Objekt namens „%1“ existiert bereits</translation>
    </message>
    <message>
        <source>The file “%1” couldn’t be replaced: %2</source>
        <translation>Die Datei „%1“ konnte nicht ersetzt werden: %2</translation>
    </message>
    <message>
        <source>the optimized file “%1” couldn’t be read (%2)</source>
        <translation>die optimierte Datei „%1“ konnte nicht gelesen werden (%2)</translation>
    </message>
    <message>
        <source>no new file could be made in its folder (%1)</source>
        <translation>in ihrem Ordner konnte keine neue Datei angelegt werden (%1)</translation>
    </message>
    <message>
        <source>its permissions couldn’t be kept (%1)</source>
        <translation>ihre Zugriffsrechte konnten nicht übernommen werden (%1)</translation>
    </message>
    <message>
        <source>its attribute %1 couldn’t be kept</source>
        <translation>ihr Attribut %1 konnte nicht übernommen werden</translation>
    </message>
    <message>
        <source>it couldn’t be flushed to disk (%1)</source>
        <translation>sie konnte nicht auf den Datenträger geschrieben werden (%1)</translation>
    </message>
</context>
<context>
    <name>FolderWatchRun</name>
    <message>
        <source>%1: the watched folder is gone; watching resumes when it is back</source>
        <translation>%1: Der beobachtete Ordner ist verschwunden; die Beobachtung geht weiter, sobald er wieder da ist</translation>
    </message>
    <message>
        <source>%1: the watched folder is there; watching it</source>
        <translation>%1: Der beobachtete Ordner ist da und wird beobachtet</translation>
    </message>
    <message>
        <source>too many changes at once to follow; the folders were looked through again</source>
        <translation>zu viele Änderungen auf einmal; die Ordner wurden erneut durchgesehen</translation>
    </message>
    <message>
        <source>cannot watch folders: %1</source>
        <translation>Ordner können nicht beobachtet werden: %1</translation>
    </message>
    <message>
        <source>%1 is not a folder: --watch takes folders</source>
        <translation>%1 ist kein Ordner: --watch nimmt Ordner</translation>
    </message>
    <message>
        <source>%1: no such folder; watching begins when it is there</source>
        <translation>%1: Ordner nicht vorhanden; die Beobachtung beginnt, sobald er da ist</translation>
    </message>
    <message>
        <source>watching 1 folder; new images are taken once they settle (Ctrl+C stops)</source>
        <translation>1 Ordner wird beobachtet; neue Bilder werden genommen, sobald sie zur Ruhe gekommen sind (Strg+C beendet)</translation>
    </message>
    <message>
        <source>watching %1 folders; new images are taken once they settle (Ctrl+C stops)</source>
        <translation>%1 Ordner werden beobachtet; neue Bilder werden genommen, sobald sie zur Ruhe gekommen sind (Strg+C beendet)</translation>
    </message>
    <message>
        <source>%1: another Pressly Pro watches this folder; skipped</source>
        <translation>%1: Ein anderes Pressly Pro überwacht diesen Ordner; übersprungen</translation>
    </message>
    <message>
        <source>every folder given is watched by another Pressly Pro; nothing to watch</source>
        <translation>jeder angegebene Ordner wird von einem anderen Pressly Pro überwacht; nichts zu überwachen</translation>
    </message>
    <message>
        <source>%1: the other Pressly Pro let go of this folder; watching it</source>
        <translation>%1: das andere Pressly Pro hat diesen Ordner freigegeben; er wird jetzt beobachtet</translation>
    </message>
    <message>
        <source>%1: the window watches this folder; it is taken over when the window lets go</source>
        <translation>%1: das Fenster beobachtet diesen Ordner; er wird übernommen, sobald das Fenster ihn freigibt</translation>
    </message>
    <message>
        <source>watching is paused in the settings; the folders are left until it resumes</source>
        <translation>das Beobachten ist in den Einstellungen pausiert; die Ordner bleiben frei, bis es weitergeht</translation>
    </message>
    <message>
        <source>the settings list no watched folders; waiting until some are added</source>
        <translation>die Einstellungen nennen keine beobachteten Ordner; es wird gewartet, bis welche hinzukommen</translation>
    </message>
</context>
<context>
    <name>GaugeReading</name>
    <message>
        <source>GB SAVED</source>
        <translation>GB GESPART</translation>
    </message>
    <message>
        <source>MB SAVED</source>
        <translation>MB GESPART</translation>
    </message>
</context>
<context>
    <name>HeroView</name>
    <message>
        <source>No preview</source>
        <translation>Keine Vorschau</translation>
    </message>
    <message>
        <source>Loading…</source>
        <translation>Wird geladen …</translation>
    </message>
    <message>
        <source>%1 saved</source>
        <translation>%1 gespart</translation>
    </message>
    <message>
        <source>Restored: the original is back in place and the optimized file is in the Trash.</source>
        <translation>Wiederhergestellt: Das Original ist wieder an seinem Platz, die optimierte Datei liegt im Papierkorb.</translation>
    </message>
    <message>
        <source>Single View</source>
        <translation>Einzelansicht</translation>
    </message>
    <message>
        <source>Compare</source>
        <translation>Vergleichen</translation>
    </message>
    <message>
        <source>Restore Original</source>
        <translation>Original wiederherstellen</translation>
    </message>
    <message>
        <source>Show in Folder</source>
        <translation>Im Ordner anzeigen</translation>
    </message>
    <message>
        <source>Enlarged photo</source>
        <translation>Vergrößertes Foto</translation>
    </message>
    <message>
        <source>Close enlarged view</source>
        <translation>Vergrößerte Ansicht schließen</translation>
    </message>
    <message>
        <source>Escape</source>
        <translation>Esc</translation>
    </message>
</context>
<context>
    <name>ImageFileCollector</name>
    <message>
        <source>Skipped %1: the link leads nowhere</source>
        <translation>%1 übersprungen: Die Verknüpfung führt ins Leere</translation>
    </message>
    <message>
        <source>Skipped %1: it links to %2, outside the folder</source>
        <translation>%1 übersprungen: Die Verknüpfung zeigt auf %2, außerhalb des Ordners</translation>
    </message>
    <message>
        <source>Skipped folder %1: its name is not valid UTF-8</source>
        <translation>Ordner %1 übersprungen: Sein Name ist kein gültiges UTF-8</translation>
    </message>
    <message>
        <source>Skipped %1: its name is not valid UTF-8</source>
        <translation>%1 übersprungen: Der Name ist kein gültiges UTF-8</translation>
    </message>
    <message>
        <source>Skipped %1: compressed SVG (.svgz) is not supported</source>
        <translation>%1 übersprungen: Komprimiertes SVG (.svgz) wird nicht unterstützt</translation>
    </message>
    <message>
        <source>Skipped %1: not a regular file</source>
        <translation>%1 übersprungen: Keine reguläre Datei</translation>
    </message>
</context>
<context>
    <name>ImageHeader</name>
    <message>
        <source>more than this app handles (%1 megapixels)</source>
        <translation>mehr, als diese Anwendung verarbeitet (%1 Megapixel)</translation>
    </message>
    <message>
        <source>%1 frames of %2 × %3 pixels are %4</source>
        <translation>%1 Einzelbilder zu %2 × %3 Pixeln sind %4</translation>
    </message>
    <message>
        <source>%1 × %2 pixels is %3</source>
        <translation>%1 × %2 Pixel sind %3</translation>
    </message>
</context>
<context>
    <name>JobPipeline</name>
    <message>
        <source>Left alone: it is being optimized by another Pressly Pro</source>
        <translation>Unverändert gelassen: Die Datei wird gerade von einem anderen Pressly Pro optimiert</translation>
    </message>
    <message>
        <source>Could not read file</source>
        <translation>Die Datei konnte nicht gelesen werden</translation>
    </message>
    <message>
        <source>Left alone: it changed after it was added (add it again to optimize it as it is now)</source>
        <translation>Unverändert gelassen: Die Datei wurde nach dem Hinzufügen geändert (erneut hinzufügen, um ihren jetzigen Stand zu optimieren)</translation>
    </message>
    <message>
        <source>No optimization tools available for this format</source>
        <translation>Für dieses Format sind keine Optimierungswerkzeuge verfügbar</translation>
    </message>
    <message>
        <source>Could not make a working copy of the file</source>
        <translation>Es konnte keine Arbeitskopie der Datei angelegt werden</translation>
    </message>
    <message>
        <source>No optimized file available</source>
        <translation>Keine optimierte Datei vorhanden</translation>
    </message>
    <message>
        <source>The file was removed while it was being optimized</source>
        <translation>Die Datei wurde während der Optimierung entfernt</translation>
    </message>
    <message>
        <source>The image is damaged or incomplete (%1)</source>
        <translation>Das Bild ist beschädigt oder unvollständig (%1)</translation>
    </message>
    <message>
        <source>Could not save optimized file: %1</source>
        <translation>Die optimierte Datei konnte nicht gespeichert werden: %1</translation>
    </message>
    <message>
        <source>Could not export unoptimized file: %1</source>
        <translation>Die nicht optimierte Datei konnte nicht exportiert werden: %1</translation>
    </message>
    <message>
        <source>Left alone: it was moved or deleted after it was added</source>
        <translation>Nicht bearbeitet: Die Datei wurde nach dem Hinzufügen verschoben oder gelöscht</translation>
    </message>
</context>
<context>
    <name>JobQueue</name>
    <message>
        <source>“%1” is a link to “%2”, which can’t be found</source>
        <translation>„%1“ verweist auf „%2“, das nicht gefunden wurde</translation>
    </message>
    <message>
        <source>“%1” is not a regular file</source>
        <translation>„%1“ ist keine reguläre Datei</translation>
    </message>
    <message>
        <source>The file “%1” couldn’t be opened: %2</source>
        <translation>Die Datei „%1“ konnte nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>Unsupported file type</source>
        <translation>Nicht unterstützter Dateityp</translation>
    </message>
    <message>
        <source>“%1” was left as it is: %2</source>
        <translation>„%1“ wurde unverändert gelassen: %2</translation>
    </message>
    <message>
        <source>Stopped because the batch was cancelled</source>
        <translation>Angehalten, weil der Durchlauf abgebrochen wurde</translation>
    </message>
    <message>
        <source>An unexpected error stopped the optimization.</source>
        <translation>Ein unerwarteter Fehler hat die Optimierung beendet.</translation>
    </message>
</context>
<context>
    <name>LaunchArgument</name>
    <message>
        <source>Only local files can be optimized: %1</source>
        <translation>Nur lokale Dateien können optimiert werden: %1</translation>
    </message>
</context>
<context>
    <name>Main</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>Add Files…</source>
        <translation>Dateien hinzufügen …</translation>
    </message>
    <message>
        <source>Add Folder…</source>
        <translation>Ordner hinzufügen …</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>About Pressly Pro</source>
        <translation>Über Pressly Pro</translation>
    </message>
    <message>
        <source>Check for Updates...</source>
        <translation>Nach Aktualisierungen suchen …</translation>
    </message>
    <message>
        <source>Dismiss</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Dismiss notice</source>
        <translation>Hinweis schließen</translation>
    </message>
</context>
<context>
    <name>MainView</name>
    <message>
        <source>Not set — will prompt on first export</source>
        <translation>Nicht festgelegt – wird beim ersten Export erfragt</translation>
    </message>
    <message>
        <source>No images to optimize</source>
        <translation>Keine Bilder zum Optimieren</translation>
    </message>
    <message numerus="yes">
        <source>No images to optimize (%n file skipped: not a supported image)</source>
        <translation>
            <numerusform>Keine Bilder zum Optimieren (%n Datei übersprungen: kein unterstütztes Bild)</numerusform>
            <numerusform>Keine Bilder zum Optimieren (%n Dateien übersprungen: keine unterstützten Bilder)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>No images to optimize (%n files skipped: not a supported image)</source>
        <translation>
            <numerusform>Keine Bilder zum Optimieren (%n Datei übersprungen: kein unterstütztes Bild)</numerusform>
            <numerusform>Keine Bilder zum Optimieren (%n Dateien übersprungen: keine unterstützten Bilder)</numerusform>
        </translation>
    </message>
    <message>
        <source>Replace original files?</source>
        <translation>Originaldateien ersetzen?</translation>
    </message>
    <message>
        <source>Optimize</source>
        <translation>Optimieren</translation>
    </message>
    <message>
        <source>Choose where to save optimized images</source>
        <translation>Speicherort für optimierte Bilder wählen</translation>
    </message>
    <message>
        <source>Select Export Folder</source>
        <translation>Exportordner auswählen</translation>
    </message>
    <message>
        <source>Choose</source>
        <translation>Auswählen</translation>
    </message>
    <message>
        <source>Stop optimizing and quit?</source>
        <translation>Optimierung abbrechen und beenden?</translation>
    </message>
    <message>
        <source>Files not yet optimized stay as they are.</source>
        <translation>Noch nicht optimierte Dateien bleiben unverändert.</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>About Pressly Pro</source>
        <translation>Über Pressly Pro</translation>
    </message>
    <message>
        <source>Pressly Pro %1
Makes images smaller without changing how they look.</source>
        <translation>Pressly Pro %1
Macht Bilder kleiner, ohne ihr Aussehen zu ändern.</translation>
    </message>
    <message numerus="yes">
        <source>%Ln images will be optimized in place. Originals are moved to Trash so you can undo if needed.</source>
        <translation>
            <numerusform>%Ln Bild wird direkt am Speicherort optimiert. Das Original kommt in den Papierkorb und lässt sich bei Bedarf wiederherstellen.</numerusform>
            <numerusform>%Ln Bilder werden direkt am Speicherort optimiert. Die Originale kommen in den Papierkorb und lassen sich bei Bedarf wiederherstellen.</numerusform>
        </translation>
    </message>
    <message>
        <source>Choose a folder to watch</source>
        <translation>Einen zu überwachenden Ordner wählen</translation>
    </message>
    <message>
        <source>Watch</source>
        <comment>button</comment>
        <translation>Überwachen</translation>
    </message>
</context>
<context>
    <name>OptimizationError</name>
    <message>
        <source>File access error: %1</source>
        <translation>Fehler beim Dateizugriff: %1</translation>
    </message>
    <message>
        <source>Unsupported file type: %1</source>
        <translation>Nicht unterstützter Dateityp: %1</translation>
    </message>
    <message>
        <source>%1 failed: %2</source>
        <translation>%1 ist fehlgeschlagen: %2</translation>
    </message>
    <message>
        <source>Temporary file error: %1</source>
        <translation>Fehler bei einer temporären Datei: %1</translation>
    </message>
    <message>
        <source>No optimization was possible for this file</source>
        <translation>Diese Datei ließ sich nicht optimieren</translation>
    </message>
</context>
<context>
    <name>OptimizationJob</name>
    <message>
        <source>The file “%1” couldn’t be read: %2</source>
        <translation>Die Datei „%1“ konnte nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>Could not read file size</source>
        <translation>Die Dateigröße konnte nicht ermittelt werden</translation>
    </message>
    <message>
        <source>%1%</source>
        <translation>%1 %</translation>
    </message>
</context>
<context>
    <name>OriginalRestorer</name>
    <message>
        <source>The original of “%1” is no longer in the Trash.</source>
        <translation>Das Original von „%1“ ist nicht mehr im Papierkorb.</translation>
    </message>
    <message>
        <source>“%1” was changed after it was optimized; restoring would replace the newer version.</source>
        <translation>„%1“ wurde nach der Optimierung geändert; eine Wiederherstellung würde die neuere Version ersetzen.</translation>
    </message>
    <message>
        <source>“%1” changed while it was being restored; nothing was restored.</source>
        <translation>„%1“ hat sich während der Wiederherstellung geändert; es wurde nichts wiederhergestellt.</translation>
    </message>
    <message>
        <source>The original of “%1” couldn’t be put back (%2)%3</source>
        <translation>Das Original von „%1“ konnte nicht zurückgelegt werden (%2)%3</translation>
    </message>
    <message>
        <source>.</source>
        <translation>.</translation>
    </message>
    <message>
        <source>; both versions are in the Trash.</source>
        <translation>; beide Versionen liegen im Papierkorb.</translation>
    </message>
    <message>
        <source>“%1” is the original again; the optimized version is in the Trash.</source>
        <translation>„%1“ ist wieder das Original; die optimierte Version liegt im Papierkorb.</translation>
    </message>
    <message>
        <source>“%1” has already been restored.</source>
        <translation>„%1“ wurde bereits wiederhergestellt.</translation>
    </message>
    <message>
        <source>“%1” has no original in the Trash to restore.</source>
        <translation>Für „%1“ liegt kein Original im Papierkorb, das sich wiederherstellen ließe.</translation>
    </message>
</context>
<context>
    <name>OutputPlacement</name>
    <message>
        <source>The file “%1” couldn’t be replaced: it changed while it was being optimized.</source>
        <translation>Die Datei „%1“ konnte nicht ersetzt werden: Sie wurde während der Optimierung geändert.</translation>
    </message>
    <message>
        <source>No export folder selected. Please choose an export folder in settings.</source>
        <translation>Kein Exportordner ausgewählt. Bitte in den Einstellungen einen Exportordner wählen.</translation>
    </message>
    <message>
        <source>No export folder selected.</source>
        <translation>Kein Exportordner ausgewählt.</translation>
    </message>
    <message>
        <source>The file “%1” couldn’t be moved to the Trash: %2</source>
        <translation>Die Datei „%1“ konnte nicht in den Papierkorb verschoben werden: %2</translation>
    </message>
    <message>
        <source> The newer version is in the Trash.</source>
        <translation> Die neuere Version liegt im Papierkorb.</translation>
    </message>
    <message>
        <source>The file “%1” couldn’t be replaced: the new version couldn’t take its place (%2)%3</source>
        <translation>Die Datei „%1“ konnte nicht ersetzt werden: Die neue Version konnte nicht an ihre Stelle treten (%2)%3</translation>
    </message>
    <message>
        <source>.</source>
        <translation>.</translation>
    </message>
    <message>
        <source>; the original is in the Trash.</source>
        <translation>; das Original liegt im Papierkorb.</translation>
    </message>
</context>
<context>
    <name>PhotoCard</name>
    <message>
        <source>Restored</source>
        <translation>Wiederhergestellt</translation>
    </message>
    <message>
        <source>Stopped</source>
        <translation>Angehalten</translation>
    </message>
    <message>
        <source>Not started</source>
        <translation>Nicht gestartet</translation>
    </message>
    <message>
        <source>restored</source>
        <translation>wiederhergestellt</translation>
    </message>
    <message>
        <source>%1 to %2, %3 smaller</source>
        <translation>%1 auf %2, %3 kleiner</translation>
    </message>
    <message>
        <source>already as small as it gets</source>
        <translation>schon so klein wie möglich</translation>
    </message>
    <message>
        <source>failed: %1</source>
        <translation>fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>optimizing</source>
        <translation>wird optimiert</translation>
    </message>
    <message>
        <source>stopped</source>
        <translation>angehalten</translation>
    </message>
    <message>
        <source>not started</source>
        <translation>nicht begonnen</translation>
    </message>
    <message>
        <source>waiting</source>
        <translation>wartet</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
</context>
<context>
    <name>PhotoGrid</name>
    <message>
        <source>Collapse</source>
        <translation>Zuklappen</translation>
    </message>
    <message>
        <source>Photos</source>
        <translation>Fotos</translation>
    </message>
    <message numerus="yes">
        <source>%Ln photos</source>
        <translation>
            <numerusform>%Ln Foto</numerusform>
            <numerusform>%Ln Fotos</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PhotoStackView</name>
    <message>
        <source>Optimizing…</source>
        <translation>Wird optimiert …</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>Fertig.</translation>
    </message>
    <message numerus="yes">
        <source>%Ln files could not be optimized — open the marked cards to see why.</source>
        <translation>
            <numerusform>%Ln Datei konnte nicht optimiert werden – die markierte Karte öffnen, um den Grund zu sehen.</numerusform>
            <numerusform>%Ln Dateien konnten nicht optimiert werden – die markierten Karten öffnen, um die Gründe zu sehen.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln photos</source>
        <translation>
            <numerusform>%Ln Foto</numerusform>
            <numerusform>%Ln Fotos</numerusform>
        </translation>
    </message>
    <message>
        <source>Latest photos</source>
        <translation>Neueste Fotos</translation>
    </message>
    <message>
        <source>Enter shows all photos</source>
        <translation>Die Eingabetaste zeigt alle Fotos</translation>
    </message>
</context>
<context>
    <name>PngquantWorker</name>
    <message>
        <source>Exit code: %1</source>
        <translation>Exit-Code: %1</translation>
    </message>
</context>
<context>
    <name>ReplacementJournal</name>
    <message>
        <source>The file “%1” couldn’t be replaced: the replacement couldn’t be recorded in “%2” (%3)</source>
        <translation>Die Datei „%1“ konnte nicht ersetzt werden: Das Ersetzen konnte nicht in „%2“ vermerkt werden (%3)</translation>
    </message>
</context>
<context>
    <name>ResultActions</name>
    <message>
        <source>The folder “%1” could not be opened: no file manager answered.</source>
        <translation>Der Ordner „%1“ konnte nicht geöffnet werden: Keine Dateiverwaltung hat geantwortet.</translation>
    </message>
</context>
<context>
    <name>ResultLine</name>
    <message>
        <source>failed: %1</source>
        <translation>fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>cancelled</source>
        <translation>abgebrochen</translation>
    </message>
    <message>
        <source>, already optimized</source>
        <translation>, bereits optimiert</translation>
    </message>
    <message>
        <source>, no smaller version found</source>
        <translation>, keine kleinere Version gefunden</translation>
    </message>
    <message>
        <source>(−%1%)</source>
        <translation>(−%1 %)</translation>
    </message>
</context>
<context>
    <name>RunReport</name>
    <message numerus="yes">
        <source>, %n skipped in folders (listed above)</source>
        <translation>
            <numerusform>, %n in Ordnern übersprungen (oben aufgeführt)</numerusform>
            <numerusform>, %n in Ordnern übersprungen (oben aufgeführt)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, %n cancelled</source>
        <translation>
            <numerusform>, %n abgebrochen</numerusform>
            <numerusform>, %n abgebrochen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files: %1 optimized, %2 failed%3, %4 skipped by the cache%5
%6 → %7 (saved %8%), in %9 s</source>
        <translation>
            <numerusform>%n Datei: %1 optimiert, %2 fehlgeschlagen%3, %4 vom Cache übersprungen%5
%6 → %7 (%8 % gespart), in %9 s</numerusform>
            <numerusform>%n Dateien: %1 optimiert, %2 fehlgeschlagen%3, %4 vom Cache übersprungen%5
%6 → %7 (%8 % gespart), in %9 s</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SessionHeaderCell</name>
    <message>
        <source>Sort by this column</source>
        <translation>Nach dieser Spalte sortieren</translation>
    </message>
    <message>
        <source>Sorted from smallest</source>
        <translation>Aufsteigend sortiert</translation>
    </message>
    <message>
        <source>Sorted from largest</source>
        <translation>Absteigend sortiert</translation>
    </message>
</context>
<context>
    <name>SessionListModel</name>
    <message>
        <source>%1%</source>
        <translation>%1 %</translation>
    </message>
</context>
<context>
    <name>SessionRecord</name>
    <message>
        <source>&lt;1s</source>
        <translation>&lt;1 s</translation>
    </message>
    <message>
        <source>%1s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1m %2s</source>
        <translation>%1 min %2 s</translation>
    </message>
</context>
<context>
    <name>SettingsPane</name>
    <message>
        <source>Lossless</source>
        <translation>Verlustfrei</translation>
    </message>
    <message>
        <source>Fast, no quality loss. Removes redundant data only.</source>
        <translation>Schnell, ohne Qualitätsverlust. Entfernt nur überflüssige Daten.</translation>
    </message>
    <message>
        <source>Balanced</source>
        <translation>Ausgewogen</translation>
    </message>
    <message>
        <source>Recommended. Good compression with minimal visible quality loss.</source>
        <translation>Empfohlen. Gute Kompression bei kaum sichtbarem Qualitätsverlust.</translation>
    </message>
    <message>
        <source>Maximum</source>
        <translation>Maximal</translation>
    </message>
    <message>
        <source>Smallest files. Slower, more aggressive compression.</source>
        <translation>Kleinste Dateien. Langsamere, stärkere Kompression.</translation>
    </message>
    <message>
        <source>Configuration</source>
        <translation>Konfiguration</translation>
    </message>
    <message>
        <source>Choose where optimized files go and how hard to compress.</source>
        <translation>Wohin optimierte Dateien kommen und wie stark komprimiert wird.</translation>
    </message>
    <message>
        <source>A batch is running: it keeps the settings it started with. Changes apply to the next images you add.</source>
        <translation>Ein Durchlauf läuft: Er behält die Einstellungen, mit denen er begonnen hat. Änderungen gelten für die nächsten hinzugefügten Bilder.</translation>
    </message>
    <message>
        <source>Output</source>
        <translation>Ausgabe</translation>
    </message>
    <message>
        <source>Optimize originals</source>
        <translation>Originale optimieren</translation>
    </message>
    <message>
        <source>Replace files in place. Originals moved to Trash for undo.</source>
        <translation>Ersetzt die Dateien direkt. Originale kommen zum Rückgängigmachen in den Papierkorb.</translation>
    </message>
    <message>
        <source>Warn me before replacing files</source>
        <translation>Vor dem Ersetzen von Dateien warnen</translation>
    </message>
    <message>
        <source>Export to folder</source>
        <translation>In Ordner exportieren</translation>
    </message>
    <message>
        <source>Save optimized copies to a separate folder.</source>
        <translation>Speichert optimierte Kopien in einem eigenen Ordner.</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>Ändern</translation>
    </message>
    <message>
        <source>Compression</source>
        <translation>Kompression</translation>
    </message>
    <message>
        <source>Updates</source>
        <translation>Aktualisierungen</translation>
    </message>
    <message>
        <source>Automatically check for updates</source>
        <translation>Automatisch nach Aktualisierungen suchen</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>Check for Updates...</source>
        <translation>Nach Aktualisierungen suchen …</translation>
    </message>
    <message>
        <source>Supported formats:</source>
        <translation>Unterstützte Formate:</translation>
    </message>
    <message>
        <source>Export folder: %1</source>
        <translation>Exportordner: %1</translation>
    </message>
    <message>
        <source>Pressly Pro was installed by your system’s package manager, which keeps it up to date.</source>
        <translation>Pressly Pro wurde mit der Paketverwaltung Ihres Systems installiert, die es auch aktuell hält.</translation>
    </message>
    <message>
        <source>Updates are not available in this build: it has no update address.</source>
        <translation>Für diese Version gibt es keine Aktualisierungen: Sie hat keine Aktualisierungsadresse.</translation>
    </message>
    <message>
        <source>Watched folders</source>
        <translation>Überwachte Ordner</translation>
    </message>
</context>
<context>
    <name>Sidebar</name>
    <message>
        <source>Files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <source>Statistics</source>
        <translation>Statistik</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Pages</source>
        <translation>Seiten</translation>
    </message>
</context>
<context>
    <name>StatisticsDashboard</name>
    <message>
        <source>Since %1</source>
        <translation>Seit %1</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
    <message>
        <source>%1%</source>
        <translation>%1 %</translation>
    </message>
    <message>
        <source>Export Failed</source>
        <translation>Export fehlgeschlagen</translation>
    </message>
    <message>
        <source>The sessions could not be saved as “%1”: %2</source>
        <translation>Die Sitzungen konnten nicht als „%1“ gespeichert werden: %2</translation>
    </message>
</context>
<context>
    <name>StatisticsDashboardView</name>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Images</source>
        <translation>Bilder</translation>
    </message>
    <message>
        <source>Reduced</source>
        <translation>Eingespart</translation>
    </message>
    <message>
        <source>Savings</source>
        <translation>Ersparnis</translation>
    </message>
    <message>
        <source>Runtime</source>
        <translation>Laufzeit</translation>
    </message>
    <message>
        <source>Overview</source>
        <translation>Übersicht</translation>
    </message>
    <message>
        <source>Statistics about your Pressly Pro usage</source>
        <translation>Statistik zur Nutzung von Pressly Pro</translation>
    </message>
    <message>
        <source>No optimization data yet</source>
        <translation>Noch keine Optimierungsdaten</translation>
    </message>
    <message>
        <source>Drop images to get started</source>
        <translation>Zum Loslegen Bilder hier ablegen</translation>
    </message>
    <message>
        <source>Total Savings</source>
        <translation>Gesamtersparnis</translation>
    </message>
    <message>
        <source>Total Photos</source>
        <translation>Fotos insgesamt</translation>
    </message>
    <message>
        <source>Files made smaller</source>
        <translation>Verkleinerte Dateien</translation>
    </message>
    <message>
        <source>Size reduction</source>
        <translation>Größenreduktion</translation>
    </message>
    <message>
        <source>SESSION HISTORY</source>
        <translation>SITZUNGSVERLAUF</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Exportieren</translation>
    </message>
    <message>
        <source>No sessions recorded yet</source>
        <translation>Noch keine Sitzungen aufgezeichnet</translation>
    </message>
    <message>
        <source>Session history</source>
        <translation>Sitzungsverlauf</translation>
    </message>
    <message>
        <source>Save the session history as a CSV file</source>
        <translation>Den Sitzungsverlauf als CSV-Datei speichern</translation>
    </message>
    <message>
        <source>%1: %2 images, %3 saved, %4, took %5</source>
        <translation>%1: %2 Bilder, %3 gespart, %4, Dauer %5</translation>
    </message>
</context>
<context>
    <name>StatisticsReport</name>
    <message numerus="yes">
        <source>Since %1: %n files processed, %2 optimized, %3 saved
</source>
        <translation>
            <numerusform>Seit %1: %n Datei verarbeitet, %2 optimiert, %3 gespart
</numerusform>
            <numerusform>Seit %1: %n Dateien verarbeitet, %2 optimiert, %3 gespart
</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1  %n files, %2 optimized, %3 failed, %4 skipped, %5 saved (%6%), %7
</source>
        <translation>
            <numerusform>%1  %n Datei, %2 optimiert, %3 fehlgeschlagen, %4 übersprungen, %5 gespart (%6 %), %7
</numerusform>
            <numerusform>%1  %n Dateien, %2 optimiert, %3 fehlgeschlagen, %4 übersprungen, %5 gespart (%6 %), %7
</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>StatsPanel</name>
    <message>
        <source>Since %1</source>
        <translation>Seit %1</translation>
    </message>
    <message numerus="yes">
        <source>Files made smaller: %1 of %Ln</source>
        <translation>
            <numerusform>Verkleinerte Dateien: %1&#xa0;von&#xa0;%Ln</numerusform>
            <numerusform>Verkleinerte Dateien: %1&#xa0;von&#xa0;%Ln</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Stopped — %Ln not optimized</source>
        <translation>
            <numerusform>Angehalten – %Ln nicht optimiert</numerusform>
            <numerusform>Angehalten – %Ln nicht optimiert</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>StatsPanelView</name>
    <message>
        <source>Stop</source>
        <translation>Anhalten</translation>
    </message>
    <message>
        <source>Optimize the rest</source>
        <translation>Rest optimieren</translation>
    </message>
    <message>
        <source>PHOTOS</source>
        <translation>FOTOS</translation>
    </message>
    <message numerus="yes">
        <source>Photos: %1 of %n finished</source>
        <translation>
            <numerusform>Fotos: %1 von %n fertig</numerusform>
            <numerusform>Fotos: %1 von %n fertig</numerusform>
        </translation>
    </message>
    <message>
        <source>of %1</source>
        <translation>von %1</translation>
    </message>
    <message>
        <source>SAVINGS</source>
        <translation>ERSPARNIS</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
    <message>
        <source>ALL-TIME</source>
        <translation>INSGESAMT</translation>
    </message>
    <message numerus="yes">
        <source>%Ln failed</source>
        <translation>
            <numerusform>%Ln fehlgeschlagen</numerusform>
            <numerusform>%Ln fehlgeschlagen</numerusform>
        </translation>
    </message>
    <message>
        <source>Stop optimizing: files not yet started stay as they are</source>
        <translation>Optimierung anhalten: noch nicht begonnene Dateien bleiben, wie sie sind</translation>
    </message>
    <message>
        <source>Savings: %1, %2</source>
        <translation>Ersparnis: %1, %2</translation>
    </message>
    <message>
        <source>All-time: %1 saved, %2</source>
        <translation>Insgesamt: %1 gespart, %2</translation>
    </message>
</context>
<context>
    <name>SummaryCard</name>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>SvgcleanerServer</name>
    <message>
        <source>Stopped after running for %1 s</source>
        <translation>Nach %1 s Laufzeit angehalten</translation>
    </message>
</context>
<context>
    <name>TemporaryFiles</name>
    <message>
        <source>Could not copy the file</source>
        <translation>Die Datei konnte nicht kopiert werden</translation>
    </message>
</context>
<context>
    <name>ToolNotices</name>
    <message>
        <source>To install: sudo apt install %1.</source>
        <translation>Zum Installieren: sudo apt install %1.</translation>
    </message>
    <message>
        <source>%1 came with Pressly Pro: reinstall the pressly-pro package.</source>
        <translation>%1 gehört zu Pressly Pro: Bitte das Paket pressly-pro neu installieren.</translation>
    </message>
    <message>
        <source>%1 is not installed.</source>
        <translation>%1 ist nicht installiert.</translation>
    </message>
    <message>
        <source>%1 are not installed.</source>
        <translation>%1 sind nicht installiert.</translation>
    </message>
    <message>
        <source>Pressly Pro uses a slower built-in method for these files, or skips them.</source>
        <translation>Pressly Pro verwendet für diese Dateien ein langsameres eingebautes Verfahren oder überspringt sie.</translation>
    </message>
</context>
<context>
    <name>Trash</name>
    <message>
        <source>the data folder “%1” is unusable (%2)</source>
        <translation>der Datenordner „%1“ ist nicht nutzbar (%2)</translation>
    </message>
    <message>
        <source>the Trash folder “%1” couldn’t be made (%2)</source>
        <translation>der Papierkorbordner „%1“ konnte nicht angelegt werden (%2)</translation>
    </message>
    <message>
        <source>its volume has no Trash that can be used (%1)</source>
        <translation>ihr Datenträger hat keinen nutzbaren Papierkorb (%1)</translation>
    </message>
    <message>
        <source>its restore information couldn’t be written (%1)</source>
        <translation>ihre Wiederherstellungsinformationen konnten nicht geschrieben werden (%1)</translation>
    </message>
    <message>
        <source>the Trash holds too many items of that name</source>
        <translation>der Papierkorb enthält zu viele Objekte dieses Namens</translation>
    </message>
    <message>
        <source>The file “%1” couldn’t be moved to the Trash: %2</source>
        <translation>Die Datei „%1“ konnte nicht in den Papierkorb verschoben werden: %2</translation>
    </message>
    <message>
        <source>The file “%1” doesn’t exist.</source>
        <translation>Die Datei „%1“ existiert nicht.</translation>
    </message>
    <message>
        <source>it is on another volume than the Trash</source>
        <translation>sie liegt auf einem anderen Datenträger als der Papierkorb</translation>
    </message>
</context>
<context>
    <name>Updater</name>
    <message>
        <source>This copy of Pressly Pro has no update feed.</source>
        <translation>Diese Ausgabe von Pressly Pro hat keine Aktualisierungsquelle.</translation>
    </message>
    <message>
        <source>Updates come with the package it was installed from.</source>
        <translation>Aktualisierungen kommen mit dem Paket, aus dem sie installiert wurde.</translation>
    </message>
    <message>
        <source>The update server could not be reached: %1</source>
        <translation>Der Aktualisierungsserver ist nicht erreichbar: %1</translation>
    </message>
    <message>
        <source>The update feed could not be read.</source>
        <translation>Die Aktualisierungsquelle konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <source>You’re up to date. Pressly Pro %1 is the newest version available.</source>
        <translation>Alles ist auf dem neuesten Stand. Pressly Pro %1 ist die neueste verfügbare Version.</translation>
    </message>
    <message>
        <source>Version %1 is available. You have %2.</source>
        <translation>Version %1 ist verfügbar. Installiert ist %2.</translation>
    </message>
    <message>
        <source>Pressly Pro was installed by your system’s package manager.</source>
        <translation>Pressly Pro wurde mit der Paketverwaltung Ihres Systems installiert.</translation>
    </message>
    <message>
        <source>Its updates come with the system’s updates.</source>
        <translation>Seine Aktualisierungen kommen mit denen des Systems.</translation>
    </message>
</context>
<context>
    <name>WatchedFolderList</name>
    <message>
        <source>Paused</source>
        <translation>Pausiert</translation>
    </message>
    <message>
        <source>Watched by the background service</source>
        <translation>Vom Hintergrunddienst überwacht</translation>
    </message>
    <message>
        <source>Not found; watching begins when it is there</source>
        <translation>Nicht gefunden; die Überwachung beginnt, sobald er da ist</translation>
    </message>
    <message>
        <source>Watching</source>
        <translation>Wird überwacht</translation>
    </message>
    <message numerus="yes">
        <source>Pressly Pro saved %1 in %2 (%n images)</source>
        <translation>
            <numerusform>Pressly Pro hat in %2 %1 gespart (%n Bild)</numerusform>
            <numerusform>Pressly Pro hat in %2 %1 gespart (%n Bilder)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>WatchedFoldersSection</name>
    <message>
        <source>Watched folders</source>
        <translation>Überwachte Ordner</translation>
    </message>
    <message>
        <source>New or changed images in these folders are optimized once they have settled.</source>
        <translation>Neue oder geänderte Bilder in diesen Ordnern werden optimiert, sobald sie sich nicht mehr ändern.</translation>
    </message>
    <message>
        <source>No watched folders. Add one to optimize the images that arrive in it.</source>
        <translation>Keine überwachten Ordner. Fügen Sie einen hinzu, um die Bilder zu optimieren, die darin ankommen.</translation>
    </message>
    <message>
        <source>Pause all</source>
        <translation>Alle pausieren</translation>
    </message>
    <message>
        <source>Pause all watched folders</source>
        <translation>Alle überwachten Ordner pausieren</translation>
    </message>
    <message>
        <source>Add Folder…</source>
        <comment>watched folder</comment>
        <translation>Ordner hinzufügen …</translation>
    </message>
    <message>
        <source>Add a folder to watch</source>
        <translation>Einen zu überwachenden Ordner hinzufügen</translation>
    </message>
    <message>
        <source>Watched folder %1: %2</source>
        <translation>Überwachter Ordner %1: %2</translation>
    </message>
    <message>
        <source>In place</source>
        <translation>Originale ersetzen</translation>
    </message>
    <message>
        <source>Export folder</source>
        <translation>In Exportordner</translation>
    </message>
    <message>
        <source>Where optimized images of %1 go</source>
        <translation>Wohin optimierte Bilder aus %1 kommen</translation>
    </message>
    <message>
        <source>Compression for %1</source>
        <translation>Komprimierung für %1</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Stop watching %1</source>
        <translation>%1 nicht mehr überwachen</translation>
    </message>
</context>
<context>
    <name>ZoomBar</name>
    <message>
        <source>Fit to view</source>
        <translation>An Ansicht anpassen</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>Verkleinern</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>Vergrößern</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Software Update</source>
        <translation>Softwareaktualisierung</translation>
    </message>
    <message>
        <source>Open Download Page</source>
        <translation>Download-Seite öffnen</translation>
    </message>
    <message>
        <source>Load the window, then quit: 0 when it could be made.</source>
        <translation>Das Fenster laden und dann beenden: 0, wenn es erstellt werden konnte.</translation>
    </message>
    <message>
        <source>Images or folders to optimize.</source>
        <translation>Zu optimierende Bilder oder Ordner.</translation>
    </message>
    <message>
        <source>[PATH...]</source>
        <translation>[PFAD …]</translation>
    </message>
    <message>
        <source>Try &apos;pressly --help&apos; for more information.</source>
        <translation>Weitere Informationen mit „pressly --help“.</translation>
    </message>
</context>
</TS>
