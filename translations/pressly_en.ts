<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>MainView</name>
    <message numerus="yes">
        <source>No images to optimize (%n file skipped: not a supported image)</source>
        <translation>
            <numerusform>No images to optimize (%n file skipped: not a supported image)</numerusform>
            <numerusform>No images to optimize (%n files skipped: not a supported image)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>No images to optimize (%n files skipped: not a supported image)</source>
        <translation>
            <numerusform>No images to optimize (%n file skipped: not a supported image)</numerusform>
            <numerusform>No images to optimize (%n files skipped: not a supported image)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln images will be optimized in place. Originals are moved to Trash so you can undo if needed.</source>
        <translation>
            <numerusform>%Ln image will be optimized in place. Originals are moved to Trash so you can undo if needed.</numerusform>
            <numerusform>%Ln images will be optimized in place. Originals are moved to Trash so you can undo if needed.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PhotoGrid</name>
    <message numerus="yes">
        <source>%Ln photos</source>
        <translation>
            <numerusform>%Ln photo</numerusform>
            <numerusform>%Ln photos</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PhotoStackView</name>
    <message numerus="yes">
        <source>%Ln files could not be optimized — open the marked cards to see why.</source>
        <translation>
            <numerusform>%Ln file could not be optimized — open the marked cards to see why.</numerusform>
            <numerusform>%Ln files could not be optimized — open the marked cards to see why.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln photos</source>
        <translation>
            <numerusform>%Ln photo</numerusform>
            <numerusform>%Ln photos</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RunReport</name>
    <message numerus="yes">
        <source>, %n skipped in folders (listed above)</source>
        <translation>
            <numerusform>, %n skipped in folders (listed above)</numerusform>
            <numerusform>, %n skipped in folders (listed above)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>, %n cancelled</source>
        <translation>
            <numerusform>, %n cancelled</numerusform>
            <numerusform>, %n cancelled</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files: %1 optimized, %2 failed%3, %4 skipped by the cache%5
%6 → %7 (saved %8%), in %9 s</source>
        <translation>
            <numerusform>%n file: %1 optimized, %2 failed%3, %4 skipped by the cache%5
%6 → %7 (saved %8%), in %9 s</numerusform>
            <numerusform>%n files: %1 optimized, %2 failed%3, %4 skipped by the cache%5
%6 → %7 (saved %8%), in %9 s</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>StatisticsReport</name>
    <message numerus="yes">
        <source>Since %1: %n files processed, %2 optimized, %3 saved
</source>
        <translation>
            <numerusform>Since %1: %n file processed, %2 optimized, %3 saved
</numerusform>
            <numerusform>Since %1: %n files processed, %2 optimized, %3 saved
</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1  %n files, %2 optimized, %3 failed, %4 skipped, %5 saved (%6%), %7
</source>
        <translation>
            <numerusform>%1  %n file, %2 optimized, %3 failed, %4 skipped, %5 saved (%6%), %7
</numerusform>
            <numerusform>%1  %n files, %2 optimized, %3 failed, %4 skipped, %5 saved (%6%), %7
</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>StatsPanel</name>
    <message numerus="yes">
        <source>Files made smaller: %1 of %Ln</source>
        <translation>
            <numerusform>Files made smaller: %1 of %Ln</numerusform>
            <numerusform>Files made smaller: %1 of %Ln</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Stopped — %Ln not optimized</source>
        <translation>
            <numerusform>Stopped — %Ln not optimized</numerusform>
            <numerusform>Stopped — %Ln not optimized</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>StatsPanelView</name>
    <message numerus="yes">
        <source>Photos: %1 of %n finished</source>
        <translation>
            <numerusform>Photos: %1 of %n finished</numerusform>
            <numerusform>Photos: %1 of %n finished</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%Ln failed</source>
        <translation>
            <numerusform>%Ln failed</numerusform>
            <numerusform>%Ln failed</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>WatchedFolderList</name>
    <message numerus="yes">
        <source>Pressly Pro saved %1 in %2 (%n images)</source>
        <translation>
            <numerusform>Pressly Pro saved %1 in %2 (%n image)</numerusform>
            <numerusform>Pressly Pro saved %1 in %2 (%n images)</numerusform>
        </translation>
    </message>
</context>
</TS>
