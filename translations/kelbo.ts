<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" sourcelanguage="en">
<context>
    <name>AddScheduleForm</name>
    <message>
        <source>Must enter a program duration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Must select a ChannelName</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Must select a ChannelNumber</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Must enter a program name at least 2 chars</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Must select a valid template</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Schedule Full</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The schedule holds %1 items, the most it can. Delete items that have been recorded, then add this one again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Incomplete Data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The duration must be a whole number of minutes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The channel number must be a number (or N/A)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DetailPane</name>
    <message>
        <source>Confirmation Required</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Invalid Buffer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure you want to change the StartBuffer?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The start buffer must be a whole number of minutes from 0 to 32767.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure you want to change the EndBuffer?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The end buffer must be a whole number of minutes from 0 to 32767.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure you want to change the Output FileName?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure you want to change the Recording Template?</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DiskSpace</name>
    <message>
        <source>Free space for recordings: unknown</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Free space for recordings: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, about %2 hours at %3</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>GuideWindow</name>
    <message>
        <source>Filter by channel, title, category or description</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Kelbo guide</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(the add-in offers no entries)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Record series with</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The add-in has no command for &quot;%1&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; handed to the add-in: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>. It starts at %1, in the hour the clocks go through twice: its start in the schedule reads as the first run of that hour, so the true start is in its description, and the recorder drops it if a programme of the first run on this channel is scheduled too.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The series rule could not be stored in %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 &quot;%2&quot; on %3: %4 programme(s) handed to the add-in, %5 already in the schedule.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Series rule stored for</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Series rule already stored for</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ListingModel</name>
    <message>
        <source>Scheduled, ended</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Scheduled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ended</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The schedule holds this programme.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This programme has ended.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Channel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Minutes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Title</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Episode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Category</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Description</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LivePreview</name>
    <message>
        <source>No video Source Detected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is no video source for the Dazzle DVCII</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OptionsForm</name>
    <message>
        <source>Default Start Buffer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Default End Buffer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Buffer Value Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 must be a whole number of minutes from 0 to 32767</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Picture Value Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 must be a whole number from 0 to 32767</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mb</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mins</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Split Value Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Split value must be numeric</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Split value must be a whole number from 0 to 32767</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 (not found)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PictureControls</name>
    <message>
        <source>Brightness</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Contrast</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Saturation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sharpness</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tint</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Audio Volume</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PreviewCaption</name>
    <message>
        <source>No picture</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Recording — preview off</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Radio — sound only</source>
        <translation type="unfinished"></translation>
    </message>
</context>
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
    <message>
        <source>&quot;%1&quot; on %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RecordingSession</name>
    <message>
        <source>Recording stopped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The recording of %1 into %2 stopped: %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error creating file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error checking/creating file path for : %1 (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot record %1: %2; not opened on a guess: %3.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot record %1: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Channel not found</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Disk full</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Low disk space</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 has %2 free; recording %3 with template &quot;%4&quot; needs about %5.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot record %1: %2. It is tried again at least every %3 s while the programme is on.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: recorded %2 of %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, %1 gap</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, %1 gaps</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, %1 pictures skipped</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Recordings</name>
    <message>
        <source>Quit Kelbo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A programme is being recorded. Quit Kelbo and stop the recording?</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RemoteCommands</name>
    <message>
        <source>no Kelbo recorder is running for this user.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the Kelbo recorder is busy with other commands; try again in a moment.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the Kelbo recorder is running but did not answer.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ScheduleColumns</name>
    <message>
        <source>Date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Programme</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Duration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Channel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ch #</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Filename</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Template</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SBuf</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>EBuf</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Description</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Category</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Status</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ScheduleCommands</name>
    <message>
        <source>Delete Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You can&apos;t delete the item currently being recorded.  Use STOP button on &apos;Preview&apos; tab first</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete Confirmation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure you want to delete?</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ScheduleDocument</name>
    <message>
        <source>
... and %1 more</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Programmes left out</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The schedule file %1 holds programmes the recorder cannot list; they will not be recorded, and the next rewrite of the file leaves them out:%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error writing schedule</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The schedule could not be saved to %1: %2.
The file was left as it was.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Schedule full</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The schedule file %1 holds more programmes than the %2 the recorder can keep. %3 were left out, %4 of them still to come: they stay in the file, but are not listed or recorded. Delete finished items to make room for them.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Programme not recorded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Added to the schedule file while a recording was in progress, and over before the recorder could take it in:%1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SeriesMenu</name>
    <message>
        <source>&amp;Series</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>entry %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; on %2 with %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>any channel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, new episodes only</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(no series rules)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The series rule %1 is no longer stored.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The series rule could not be removed from %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Series rule removed: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SettingsLoader</name>
    <message>
        <source>Default configuration not set</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please configure your default options</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>StatusPanel</name>
    <message>
        <source>NO PROGRAMS TO RECORD</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Recording</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Previewing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>StreamReadyForCapture</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Idle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 on %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 starts in %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Failing: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is not recording; it ends in %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 ends in %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Split in %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 +%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, tuner %2, ends in %3</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TunerMessages</name>
    <message>
        <source>%1 (tuner %2)</source>
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
    <message>
        <source>Preview &amp;Tuner</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tuner %1</source>
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
    <message>
        <source>T&amp;uners</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>How many programmes Kelbo can record at once; overlapping programmes clash only beyond it</source>
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
<context>
    <name>main</name>
    <message>
        <source>Commands from the command line cannot reach this recorder: %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Test pattern</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
