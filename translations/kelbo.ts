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
    <name>kelbo::ui::AboutBox</name>
    <message>
        <source>Version %1.%2.%3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>To receive updates and provide feedback</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>visit the Kelbo project page, where new releases are published and problems can be reported.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kelbo is free software: support it by reporting bugs, sending improvements or telling others about it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Licensed under the GNU General Public License, version 3 or (at your option) any later version. It comes with no warranty.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kelbo::ui::AddScheduleDialog</name>
    <message>
        <source>AddSchedule</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Number of minutes to record</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Channel Name (use -NA- if not relevant)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Channel Number (use NA if not relevant)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Programme Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Recording template to use for this item</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>D&amp;uration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Channel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Programme</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>T&amp;emplate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Time, hours</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Time, minutes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Step the time or duration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Channel number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Confirm the schedule addition</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel the addition of a new schedule item</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kelbo::ui::DesktopOpener</name>
    <message>
        <source>folders</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No application is set to open %1.
%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 (%2) cannot be started: its command line cannot be read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 cannot be started: %2 was not found.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kelbo::ui::DetailPaneWidget</name>
    <message>
        <source>Detail frame for item selected in schedule above.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Template</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FileName</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start Buffer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Adjusted Start</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>End Buffer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Adjusted End</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Description</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kelbo::ui::FinishedRowsFilter</name>
    <message>
        <source>Hide Finished Programmes</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kelbo::ui::FreedesktopNotifications</name>
    <message>
        <source>Play</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show in Folder</source>
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
    <message>
        <source>Play</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show in Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kelbo is recording %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Recordings Folder</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kelbo::ui::OptionsDialog</name>
    <message>
        <source>Options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Schedule File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Text Files (*.txt)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Apply</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Default Record &amp;Template</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The recording quality that Kelbo will use as its default</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The default start buffer that Kelbo will use at the beginning of all programmes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The default end buffer that Kelbo will use at the end of all programmes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Default &amp;Start Buffer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Default &amp;End Buffer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Schedule &amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file that contains the schedule information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Browse</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Browse for the schedule file on your hard disk</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File&amp;Name Format</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The format used for output filenames</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The format used for output filenames (Use variable names below)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Test</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Test the filename format with a real example from the schedule</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preview When Recording</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show a live preview when a programme starts recording</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hear Audio during Record</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hear live audio when a programme starts recording</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Auto load new schedule file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Automatically load new schedule file every 30 seconds (Recommend turned ON)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Expert Mode - NO Confirmations</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No confirmations on deletes or changes to any settings or schedules</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start in System Tray</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start Kelbo in the system tray</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Minimize to System Tray</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>When Kelbo is minimized, place it in the system tray</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Capture s&amp;ource</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The video source Kelbo records from; type a stream&apos;s URL to record it</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A change takes effect the next time Kelbo starts.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Channel &amp;playlist</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>An M3U playlist of network streams: each recording tunes to its channel&apos;s entry</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Split By</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select how Kelbo will split programme recordings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>NONE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No splitting of files required</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Split by file size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Split by recording time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The number of minutes / Mb to split at</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Split at</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Only relevant if you use Digiguide electronic programme guide</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Digiguide Addin Templates</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Capture Device</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Composite</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SVideo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>VideoSource</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>VideoSuperStandard</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kelbo::ui::PreviewForm</name>
    <message>
        <source>Preview</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kelbo::ui::QtMessageBoxes</name>
    <message>
        <source>(%1 more since)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>
The latest, at %1:
%2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kelbo::ui::RecordedRowMenu</name>
    <message>
        <source>Play</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Containing Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kelbo::ui::ScheduleListView</name>
    <message>
        <source>Schedule listing for items to record</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kelbo::ui::TransportBar</name>
    <message>
        <source>Stop current recording immediately</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add an item to the recording schedule</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete the selected item from the recording schedule</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kelbo::ui::TrayMenu</name>
    <message>
        <source>Hide Kelbo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop Recording</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show Kelbo</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
