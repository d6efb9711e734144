<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>RecordingNotices</name>
    <message>
        <source>Recording %1</source>
        <translation>Aufnahme von %1</translation>
    </message>
    <message>
        <source>Recording %1 into %2</source>
        <translation>Aufnahme von %1 in %2</translation>
    </message>
    <message>
        <source>Recording started</source>
        <translation>Aufnahme gestartet</translation>
    </message>
    <message>
        <source>Recorded %1: %2, %3</source>
        <translation>%1 aufgenommen: %2, %3</translation>
    </message>
    <message>
        <source>, %1 picture skipped</source>
        <translation>, %1 Bild übersprungen</translation>
    </message>
    <message>
        <source>, %1 pictures skipped</source>
        <translation>, %1 Bilder übersprungen</translation>
    </message>
    <message>
        <source>; %1 could not be given its final name</source>
        <translation>; %1 konnte nicht endgültig benannt werden</translation>
    </message>
    <message>
        <source>Recording finished</source>
        <translation>Aufnahme beendet</translation>
    </message>
    <message>
        <source>Recording incomplete</source>
        <translation>Aufnahme unvollständig</translation>
    </message>
    <message>
        <source>Recording failed</source>
        <translation>Aufnahme fehlgeschlagen</translation>
    </message>
    <message>
        <source>%1 was not recorded: %2</source>
        <translation>%1 wurde nicht aufgenommen: %2</translation>
    </message>
    <message>
        <source>the device recorded nothing</source>
        <translation>das Gerät hat nichts aufgenommen</translation>
    </message>
</context>
<context>
    <name>kelbo::ui::HelpMenu</name>
    <message>
        <source>About Qt</source>
        <translation>Über Qt</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>Kelbo Handbook</source>
        <translation>Kelbo-Handbuch</translation>
    </message>
    <message>
        <source>The Kelbo Handbook is not installed with this copy of Kelbo.</source>
        <translation>Das Kelbo-Handbuch ist mit dieser Kelbo-Installation nicht installiert.</translation>
    </message>
</context>
<context>
    <name>kelbo::ui::MainActions</name>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Stop Recording</source>
        <translation>Aufnahme beenden</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Open &amp;Recordings Folder</source>
        <translation>&amp;Aufnahmeordner öffnen</translation>
    </message>
</context>
<context>
    <name>kelbo::ui::MainWindow</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>Reload Schedule</source>
        <translation>Zeitplan neu laden</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>Preview Locked to Main Form</source>
        <translation>Vorschau am Hauptfenster angedockt</translation>
    </message>
    <message>
        <source>Live Preview</source>
        <translation>Live-Vorschau</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
</context>
</TS>
