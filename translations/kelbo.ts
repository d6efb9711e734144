<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" sourcelanguage="en">
<context>
    <name>RecordingNotices</name>
    <message>
        <source>Recording %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Recording %1 into %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Recording started</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Recorded %1: %2, %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, %1 picture skipped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, %1 pictures skipped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>; %1 could not be given its final name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Recording finished</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Recording incomplete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Recording failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 was not recorded: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the device recorded nothing</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kelbo::ui::HelpMenu</name>
    <message>
        <source>About Qt</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kelbo Handbook</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The Kelbo Handbook is not installed with this copy of Kelbo.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kelbo::ui::MainActions</name>
    <message>
        <source>Add</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop Recording</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open &amp;Recordings Folder</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kelbo::ui::MainWindow</name>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reload Schedule</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preview Locked to Main Form</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Live Preview</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
