<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>AddScheduleForm</name>
    <message>
        <source>Must enter a program duration</source>
        <translation>Bitte eine Dauer eingeben</translation>
    </message>
    <message>
        <source>Must select a ChannelName</source>
        <translation>Bitte einen Sendernamen wählen</translation>
    </message>
    <message>
        <source>Must select a ChannelNumber</source>
        <translation>Bitte eine Kanalnummer wählen</translation>
    </message>
    <message>
        <source>Must enter a program name at least 2 chars</source>
        <translation>Bitte einen Sendungsnamen mit mindestens 2 Zeichen eingeben</translation>
    </message>
    <message>
        <source>Must select a valid template</source>
        <translation>Bitte eine gültige Vorlage wählen</translation>
    </message>
    <message>
        <source>Schedule Full</source>
        <translation>Zeitplan voll</translation>
    </message>
    <message>
        <source>The schedule holds %1 items, the most it can. Delete items that have been recorded, then add this one again.</source>
        <translation>Der Zeitplan enthält %1 Einträge, so viele, wie er fassen kann. Löschen Sie bereits aufgenommene Einträge und fügen Sie diesen dann erneut hinzu.</translation>
    </message>
    <message>
        <source>Incomplete Data</source>
        <translation>Unvollständige Angaben</translation>
    </message>
    <message>
        <source>The duration must be a whole number of minutes</source>
        <translation>Die Dauer muss eine ganze Zahl von Minuten sein</translation>
    </message>
    <message>
        <source>The channel number must be a number (or N/A)</source>
        <translation>Die Kanalnummer muss eine Zahl sein (oder N/A)</translation>
    </message>
</context>
<context>
    <name>DetailPane</name>
    <message>
        <source>Confirmation Required</source>
        <translation>Bestätigung erforderlich</translation>
    </message>
    <message>
        <source>Invalid Buffer</source>
        <translation>Ungültiger Vor- oder Nachlauf</translation>
    </message>
    <message>
        <source>Are you sure you want to change the StartBuffer?</source>
        <translation>Den Vorlauf wirklich ändern?</translation>
    </message>
    <message>
        <source>The start buffer must be a whole number of minutes from 0 to 32767.</source>
        <translation>Der Vorlauf muss eine ganze Zahl von Minuten von 0 bis 32767 sein.</translation>
    </message>
    <message>
        <source>Are you sure you want to change the EndBuffer?</source>
        <translation>Den Nachlauf wirklich ändern?</translation>
    </message>
    <message>
        <source>The end buffer must be a whole number of minutes from 0 to 32767.</source>
        <translation>Der Nachlauf muss eine ganze Zahl von Minuten von 0 bis 32767 sein.</translation>
    </message>
    <message>
        <source>Are you sure you want to change the Output FileName?</source>
        <translation>Den Namen der Aufnahmedatei wirklich ändern?</translation>
    </message>
    <message>
        <source>Are you sure you want to change the Recording Template?</source>
        <translation>Die Aufnahmevorlage wirklich ändern?</translation>
    </message>
</context>
<context>
    <name>DiskSpace</name>
    <message>
        <source>Free space for recordings: unknown</source>
        <translation>Freier Platz für Aufnahmen: unbekannt</translation>
    </message>
    <message>
        <source>Free space for recordings: %1</source>
        <translation>Freier Platz für Aufnahmen: %1</translation>
    </message>
    <message>
        <source>%1, about %2 hours at %3</source>
        <translation>%1, etwa %2 Stunden mit %3</translation>
    </message>
</context>
<context>
    <name>GuideWindow</name>
    <message>
        <source>Filter by channel, title, category or description</source>
        <translation>Nach Sender, Titel, Kategorie oder Beschreibung filtern</translation>
    </message>
    <message>
        <source>Kelbo guide</source>
        <translation>Kelbo-Programmführer</translation>
    </message>
    <message>
        <source>(the add-in offers no entries)</source>
        <translation>(das Add-in bietet keine Einträge an)</translation>
    </message>
    <message>
        <source>Record series with</source>
        <translation>Serie aufnehmen mit</translation>
    </message>
    <message>
        <source>The add-in has no command for &quot;%1&quot;.</source>
        <translation>Das Add-in kennt keinen Befehl für „%1“.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; handed to the add-in: %2</source>
        <translation>„%1“ an das Add-in übergeben: %2</translation>
    </message>
    <message>
        <source>. It starts at %1, in the hour the clocks go through twice: its start in the schedule reads as the first run of that hour, so the true start is in its description, and the recorder drops it if a programme of the first run on this channel is scheduled too.</source>
        <translation>. Sie beginnt um %1, in der Stunde, die bei der Zeitumstellung zweimal durchlaufen wird: Im Zeitplan steht ihr Beginn als im ersten Durchlauf dieser Stunde, daher steht der wahre Beginn in ihrer Beschreibung, und Kelbo lässt sie aus, wenn auch eine Sendung des ersten Durchlaufs auf diesem Sender geplant ist.</translation>
    </message>
    <message>
        <source>The series rule could not be stored in %1.</source>
        <translation>Die Serienregel konnte nicht in %1 gespeichert werden.</translation>
    </message>
    <message>
        <source>%1 &quot;%2&quot; on %3: %4 programme(s) handed to the add-in, %5 already in the schedule.</source>
        <translation>%1 „%2“ auf %3: %4 Sendung(en) an das Add-in übergeben, %5 bereits im Zeitplan.</translation>
    </message>
    <message>
        <source>Series rule stored for</source>
        <translation>Serienregel gespeichert für</translation>
    </message>
    <message>
        <source>Series rule already stored for</source>
        <translation>Serienregel bereits gespeichert für</translation>
    </message>
</context>
<context>
    <name>ListingModel</name>
    <message>
        <source>Scheduled, ended</source>
        <translation>Geplant, beendet</translation>
    </message>
    <message>
        <source>Scheduled</source>
        <translation>Geplant</translation>
    </message>
    <message>
        <source>Ended</source>
        <translation>Beendet</translation>
    </message>
    <message>
        <source>The schedule holds this programme.</source>
        <translation>Der Zeitplan enthält diese Sendung.</translation>
    </message>
    <message>
        <source>This programme has ended.</source>
        <translation>Diese Sendung ist beendet.</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>Sender</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Beginn</translation>
    </message>
    <message>
        <source>Minutes</source>
        <translation>Minuten</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>Episode</source>
        <translation>Folge</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>Kategorie</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
</context>
<context>
    <name>LivePreview</name>
    <message>
        <source>No video Source Detected</source>
        <translation>Keine Videoquelle gefunden</translation>
    </message>
    <message>
        <source>There is no video source for the Dazzle DVCII</source>
        <translation>Es gibt keine Videoquelle für die Dazzle DVCII</translation>
    </message>
</context>
<context>
    <name>OptionsForm</name>
    <message>
        <source>Default Start Buffer</source>
        <translation>Standard-Vorlauf</translation>
    </message>
    <message>
        <source>Default End Buffer</source>
        <translation>Standard-Nachlauf</translation>
    </message>
    <message>
        <source>Buffer Value Error</source>
        <translation>Fehler bei Vor- oder Nachlauf</translation>
    </message>
    <message>
        <source>%1 must be a whole number of minutes from 0 to 32767</source>
        <translation>%1 muss eine ganze Zahl von Minuten von 0 bis 32767 sein</translation>
    </message>
    <message>
        <source>Picture Value Error</source>
        <translation>Fehler bei den Bildwerten</translation>
    </message>
    <message>
        <source>%1 must be a whole number from 0 to 32767</source>
        <translation>%1 muss eine ganze Zahl von 0 bis 32767 sein</translation>
    </message>
    <message>
        <source>Mb</source>
        <translation>MB</translation>
    </message>
    <message>
        <source>Mins</source>
        <translation>Min.</translation>
    </message>
    <message>
        <source>Split Value Error</source>
        <translation>Fehler beim Aufteilungswert</translation>
    </message>
    <message>
        <source>Split value must be numeric</source>
        <translation>Der Aufteilungswert muss eine Zahl sein</translation>
    </message>
    <message>
        <source>Split value must be a whole number from 0 to 32767</source>
        <translation>Der Aufteilungswert muss eine ganze Zahl von 0 bis 32767 sein</translation>
    </message>
    <message>
        <source>File: %1</source>
        <translation>Datei: %1</translation>
    </message>
    <message>
        <source>%1 (not found)</source>
        <translation>%1 (nicht gefunden)</translation>
    </message>
</context>
<context>
    <name>PictureControls</name>
    <message>
        <source>Brightness</source>
        <translation>Helligkeit</translation>
    </message>
    <message>
        <source>Contrast</source>
        <translation>Kontrast</translation>
    </message>
    <message>
        <source>Saturation</source>
        <translation>Sättigung</translation>
    </message>
    <message>
        <source>Sharpness</source>
        <translation>Schärfe</translation>
    </message>
    <message>
        <source>Tint</source>
        <translation>Farbton</translation>
    </message>
    <message>
        <source>Audio Volume</source>
        <translation>Lautstärke</translation>
    </message>
</context>
<context>
    <name>PreviewCaption</name>
    <message>
        <source>No picture</source>
        <translation>Kein Bild</translation>
    </message>
    <message>
        <source>Recording — preview off</source>
        <translation>Aufnahme — Vorschau aus</translation>
    </message>
    <message>
        <source>Radio — sound only</source>
        <translation>Radio — nur Ton</translation>
    </message>
</context>
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
    <message>
        <source>&quot;%1&quot; on %2</source>
        <translation>„%1“ auf %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot;</source>
        <translation>„%1“</translation>
    </message>
</context>
<context>
    <name>RecordingSession</name>
    <message>
        <source>Recording stopped</source>
        <translation>Aufnahme abgebrochen</translation>
    </message>
    <message>
        <source>The recording of %1 into %2 stopped: %3</source>
        <translation>Die Aufnahme von %1 in %2 wurde abgebrochen: %3</translation>
    </message>
    <message>
        <source>Error creating file</source>
        <translation>Fehler beim Anlegen der Datei</translation>
    </message>
    <message>
        <source>Error checking/creating file path for : %1 (%2)</source>
        <translation>Fehler beim Prüfen/Anlegen des Dateipfads für: %1 (%2)</translation>
    </message>
    <message>
        <source>Cannot record %1: %2; not opened on a guess: %3.</source>
        <translation>%1 kann nicht aufgenommen werden: %2; nicht auf Verdacht geöffnet: %3.</translation>
    </message>
    <message>
        <source>Cannot record %1: %2.</source>
        <translation>%1 kann nicht aufgenommen werden: %2.</translation>
    </message>
    <message>
        <source>Channel not found</source>
        <translation>Sender nicht gefunden</translation>
    </message>
    <message>
        <source>Disk full</source>
        <translation>Datenträger voll</translation>
    </message>
    <message>
        <source>Low disk space</source>
        <translation>Wenig Speicherplatz</translation>
    </message>
    <message>
        <source>%1 has %2 free; recording %3 with template &quot;%4&quot; needs about %5.</source>
        <translation>%1 hat %2 frei; die Aufnahme von %3 mit der Vorlage „%4“ braucht etwa %5.</translation>
    </message>
    <message>
        <source>Cannot record %1: %2. It is tried again at least every %3 s while the programme is on.</source>
        <translation>%1 kann nicht aufgenommen werden: %2. Solange die Sendung läuft, wird es mindestens alle %3 s erneut versucht.</translation>
    </message>
    <message>
        <source>%1: recorded %2 of %3</source>
        <translation>%1: %2 von %3 aufgenommen</translation>
    </message>
    <message>
        <source>, %1 gap</source>
        <translation>, %1 Lücke</translation>
    </message>
    <message>
        <source>, %1 gaps</source>
        <translation>, %1 Lücken</translation>
    </message>
    <message>
        <source>, %1 pictures skipped</source>
        <translation>, %1 Bilder übersprungen</translation>
    </message>
</context>
<context>
    <name>Recordings</name>
    <message>
        <source>Quit Kelbo</source>
        <translation>Kelbo beenden</translation>
    </message>
    <message>
        <source>A programme is being recorded. Quit Kelbo and stop the recording?</source>
        <translation>Eine Sendung wird aufgenommen. Kelbo beenden und die Aufnahme abbrechen?</translation>
    </message>
</context>
<context>
    <name>RemoteCommands</name>
    <message>
        <source>no Kelbo recorder is running for this user.</source>
        <translation>für diesen Benutzer läuft kein Kelbo-Rekorder.</translation>
    </message>
    <message>
        <source>the Kelbo recorder is busy with other commands; try again in a moment.</source>
        <translation>der Kelbo-Rekorder ist mit anderen Befehlen beschäftigt; bitte gleich noch einmal versuchen.</translation>
    </message>
    <message>
        <source>the Kelbo recorder is running but did not answer.</source>
        <translation>der Kelbo-Rekorder läuft, hat aber nicht geantwortet.</translation>
    </message>
</context>
<context>
    <name>ScheduleColumns</name>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Uhrzeit</translation>
    </message>
    <message>
        <source>Programme</source>
        <translation>Sendung</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Dauer</translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>Sender</translation>
    </message>
    <message>
        <source>Ch #</source>
        <translation>Kanal</translation>
    </message>
    <message>
        <source>Filename</source>
        <translation>Dateiname</translation>
    </message>
    <message>
        <source>Template</source>
        <translation>Vorlage</translation>
    </message>
    <message>
        <source>SBuf</source>
        <translation>Vorl.</translation>
    </message>
    <message>
        <source>EBuf</source>
        <translation>Nachl.</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>Kategorie</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
</context>
<context>
    <name>ScheduleCommands</name>
    <message>
        <source>Delete Error</source>
        <translation>Fehler beim Löschen</translation>
    </message>
    <message>
        <source>You can&apos;t delete the item currently being recorded.  Use STOP button on &apos;Preview&apos; tab first</source>
        <translation>Der gerade aufgenommene Eintrag kann nicht gelöscht werden. Beenden Sie zuerst die Aufnahme mit der STOPP-Taste.</translation>
    </message>
    <message>
        <source>Delete Confirmation</source>
        <translation>Löschen bestätigen</translation>
    </message>
    <message>
        <source>Are you sure you want to delete?</source>
        <translation>Wirklich löschen?</translation>
    </message>
</context>
<context>
    <name>ScheduleDocument</name>
    <message>
        <source>
... and %1 more</source>
        <translation>
... und %1 weitere</translation>
    </message>
    <message>
        <source>Programmes left out</source>
        <translation>Sendungen ausgelassen</translation>
    </message>
    <message>
        <source>The schedule file %1 holds programmes the recorder cannot list; they will not be recorded, and the next rewrite of the file leaves them out:%2</source>
        <translation>Die Zeitplandatei %1 enthält Sendungen, die Kelbo nicht aufführen kann; sie werden nicht aufgenommen, und beim nächsten Schreiben der Datei fallen sie weg:%2</translation>
    </message>
    <message>
        <source>Error writing schedule</source>
        <translation>Fehler beim Schreiben des Zeitplans</translation>
    </message>
    <message>
        <source>The schedule could not be saved to %1: %2.
The file was left as it was.</source>
        <translation>Der Zeitplan konnte nicht in %1 gespeichert werden: %2.
Die Datei blieb unverändert.</translation>
    </message>
    <message>
        <source>Schedule full</source>
        <translation>Zeitplan voll</translation>
    </message>
    <message>
        <source>The schedule file %1 holds more programmes than the %2 the recorder can keep. %3 were left out, %4 of them still to come: they stay in the file, but are not listed or recorded. Delete finished items to make room for them.</source>
        <translation>Die Zeitplandatei %1 enthält mehr Sendungen als die %2, die Kelbo führen kann. %3 wurden ausgelassen, %4 davon liegen noch in der Zukunft: Sie bleiben in der Datei, werden aber weder aufgeführt noch aufgenommen. Löschen Sie beendete Einträge, um Platz für sie zu schaffen.</translation>
    </message>
    <message>
        <source>Programme not recorded</source>
        <translation>Sendung nicht aufgenommen</translation>
    </message>
    <message>
        <source>Added to the schedule file while a recording was in progress, and over before the recorder could take it in:%1</source>
        <translation>Während einer laufenden Aufnahme zur Zeitplandatei hinzugefügt und schon vorbei, bevor Kelbo sie übernehmen konnte:%1</translation>
    </message>
</context>
<context>
    <name>SeriesMenu</name>
    <message>
        <source>&amp;Series</source>
        <translation>&amp;Serien</translation>
    </message>
    <message>
        <source>entry %1</source>
        <translation>Eintrag %1</translation>
    </message>
    <message>
        <source>&quot;%1&quot; on %2 with %3</source>
        <translation>„%1“ auf %2 mit %3</translation>
    </message>
    <message>
        <source>any channel</source>
        <translation>jedem Sender</translation>
    </message>
    <message>
        <source>, new episodes only</source>
        <translation>, nur neue Folgen</translation>
    </message>
    <message>
        <source>(no series rules)</source>
        <translation>(keine Serienregeln)</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>The series rule %1 is no longer stored.</source>
        <translation>Die Serienregel %1 ist nicht mehr gespeichert.</translation>
    </message>
    <message>
        <source>The series rule could not be removed from %1.</source>
        <translation>Die Serienregel konnte nicht aus %1 entfernt werden.</translation>
    </message>
    <message>
        <source>Series rule removed: %1</source>
        <translation>Serienregel entfernt: %1</translation>
    </message>
</context>
<context>
    <name>SettingsLoader</name>
    <message>
        <source>Default configuration not set</source>
        <translation>Keine Standardeinstellungen</translation>
    </message>
    <message>
        <source>Please configure your default options</source>
        <translation>Bitte legen Sie Ihre Standardeinstellungen fest</translation>
    </message>
</context>
<context>
    <name>StatusPanel</name>
    <message>
        <source>NO PROGRAMS TO RECORD</source>
        <translation>KEINE SENDUNGEN ZUM AUFNEHMEN</translation>
    </message>
    <message>
        <source>Recording</source>
        <translation>Aufnahme</translation>
    </message>
    <message>
        <source>Previewing</source>
        <translation>Vorschau</translation>
    </message>
    <message>
        <source>StreamReadyForCapture</source>
        <translation>Bereit zur Aufnahme</translation>
    </message>
    <message>
        <source>Idle</source>
        <translation>Bereit</translation>
    </message>
    <message>
        <source>%1 on %2</source>
        <translation>%1 auf %2</translation>
    </message>
    <message>
        <source>%1 starts in %2</source>
        <translation>%1 beginnt in %2</translation>
    </message>
    <message>
        <source>Failing: %1</source>
        <translation>Fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>%1 is not recording; it ends in %2</source>
        <translation>%1 wird nicht aufgenommen; sie endet in %2</translation>
    </message>
    <message>
        <source>%1 ends in %2</source>
        <translation>%1 endet in %2</translation>
    </message>
    <message>
        <source>Split in %1</source>
        <translation>Teilung in %1</translation>
    </message>
    <message>
        <source>%1 +%2</source>
        <translation>%1 +%2</translation>
    </message>
    <message>
        <source>%1, tuner %2, ends in %3</source>
        <translation>%1, Tuner %2, endet in %3</translation>
    </message>
</context>
<context>
    <name>TunerMessages</name>
    <message>
        <source>%1 (tuner %2)</source>
        <translation>%1 (Tuner %2)</translation>
    </message>
</context>
<context>
    <name>kelbo::ui::AboutBox</name>
    <message>
        <source>Version %1.%2.%3</source>
        <translation>Version %1.%2.%3</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>Über %1</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>To receive updates and provide feedback</source>
        <translation>Um Aktualisierungen zu erhalten und Rückmeldungen zu geben,</translation>
    </message>
    <message>
        <source>visit the Kelbo project page, where new releases are published and problems can be reported.</source>
        <translation>besuchen Sie die Projektseite von Kelbo, wo neue Versionen erscheinen und Probleme gemeldet werden können.</translation>
    </message>
    <message>
        <source>Kelbo is free software: support it by reporting bugs, sending improvements or telling others about it.</source>
        <translation>Kelbo ist freie Software: Unterstützen Sie sie, indem Sie Fehler melden, Verbesserungen schicken oder anderen davon erzählen.</translation>
    </message>
    <message>
        <source>Licensed under the GNU General Public License, version 3 or (at your option) any later version. It comes with no warranty.</source>
        <translation>Lizenziert unter der GNU General Public License, Version 3 oder (nach Ihrer Wahl) jeder späteren Version. Ohne jede Gewährleistung.</translation>
    </message>
</context>
<context>
    <name>kelbo::ui::AddScheduleDialog</name>
    <message>
        <source>AddSchedule</source>
        <translation>Aufnahme hinzufügen</translation>
    </message>
    <message>
        <source>Number of minutes to record</source>
        <translation>Anzahl der aufzunehmenden Minuten</translation>
    </message>
    <message>
        <source>Channel Name (use -NA- if not relevant)</source>
        <translation>Sendername (-NA-, wenn ohne Bedeutung)</translation>
    </message>
    <message>
        <source>Channel Number (use NA if not relevant)</source>
        <translation>Kanalnummer (NA, wenn ohne Bedeutung)</translation>
    </message>
    <message>
        <source>Programme Name</source>
        <translation>Name der Sendung</translation>
    </message>
    <message>
        <source>Recording template to use for this item</source>
        <translation>Aufnahmevorlage für diesen Eintrag</translation>
    </message>
    <message>
        <source>&amp;Date</source>
        <translation>&amp;Datum</translation>
    </message>
    <message>
        <source>&amp;Time</source>
        <translation>&amp;Uhrzeit</translation>
    </message>
    <message>
        <source>D&amp;uration</source>
        <translation>Dau&amp;er</translation>
    </message>
    <message>
        <source>&amp;Channel</source>
        <translation>&amp;Sender</translation>
    </message>
    <message>
        <source>&amp;Programme</source>
        <translation>Sendun&amp;g</translation>
    </message>
    <message>
        <source>T&amp;emplate</source>
        <translation>V&amp;orlage</translation>
    </message>
    <message>
        <source>Time, hours</source>
        <translation>Uhrzeit, Stunden</translation>
    </message>
    <message>
        <source>Time, minutes</source>
        <translation>Uhrzeit, Minuten</translation>
    </message>
    <message>
        <source>Step the time or duration</source>
        <translation>Uhrzeit oder Dauer verstellen</translation>
    </message>
    <message>
        <source>Channel number</source>
        <translation>Kanalnummer</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Confirm the schedule addition</source>
        <translation>Den neuen Eintrag in den Zeitplan übernehmen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Cancel the addition of a new schedule item</source>
        <translation>Das Hinzufügen eines neuen Eintrags abbrechen</translation>
    </message>
</context>
<context>
    <name>kelbo::ui::DesktopOpener</name>
    <message>
        <source>folders</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>Dateien vom Typ %1</translation>
    </message>
    <message>
        <source>No application is set to open %1.
%2</source>
        <translation>Keine Anwendung ist zum Öffnen von %1 eingestellt.
%2</translation>
    </message>
    <message>
        <source>%1 (%2) cannot be started: its command line cannot be read.</source>
        <translation>%1 (%2) kann nicht gestartet werden: Seine Befehlszeile ist nicht lesbar.</translation>
    </message>
    <message>
        <source>%1 cannot be started: %2 was not found.</source>
        <translation>%1 kann nicht gestartet werden: %2 wurde nicht gefunden.</translation>
    </message>
</context>
<context>
    <name>kelbo::ui::DetailPaneWidget</name>
    <message>
        <source>Detail frame for item selected in schedule above.</source>
        <translation>Einzelheiten des oben im Zeitplan gewählten Eintrags.</translation>
    </message>
    <message>
        <source>Template</source>
        <translation>Vorlage</translation>
    </message>
    <message>
        <source>FileName</source>
        <translation>Dateiname</translation>
    </message>
    <message>
        <source>Start Buffer</source>
        <translation>Vorlauf</translation>
    </message>
    <message>
        <source>Adjusted Start</source>
        <translation>Tatsächlicher Beginn</translation>
    </message>
    <message>
        <source>End Buffer</source>
        <translation>Nachlauf</translation>
    </message>
    <message>
        <source>Adjusted End</source>
        <translation>Tatsächliches Ende</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
</context>
<context>
    <name>kelbo::ui::FinishedRowsFilter</name>
    <message>
        <source>Hide Finished Programmes</source>
        <translation>Beendete Sendungen ausblenden</translation>
    </message>
</context>
<context>
    <name>kelbo::ui::FreedesktopNotifications</name>
    <message>
        <source>Play</source>
        <translation>Abspielen</translation>
    </message>
    <message>
        <source>Show in Folder</source>
        <translation>Im Ordner zeigen</translation>
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
    <message>
        <source>Play</source>
        <translation>Abspielen</translation>
    </message>
    <message>
        <source>Show in Folder</source>
        <translation>Im Ordner zeigen</translation>
    </message>
    <message>
        <source>Kelbo is recording %1</source>
        <translation>Kelbo nimmt %1 auf</translation>
    </message>
    <message>
        <source>Open Recordings Folder</source>
        <translation>Aufnahmeordner öffnen</translation>
    </message>
    <message>
        <source>Preview &amp;Tuner</source>
        <translation>Vorschau-&amp;Tuner</translation>
    </message>
    <message>
        <source>Tuner %1</source>
        <translation>Tuner %1</translation>
    </message>
</context>
<context>
    <name>kelbo::ui::OptionsDialog</name>
    <message>
        <source>Options</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Open Schedule File</source>
        <translation>Zeitplandatei öffnen</translation>
    </message>
    <message>
        <source>Text Files (*.txt)</source>
        <translation>Textdateien (*.txt)</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Anwenden</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Default Record &amp;Template</source>
        <translation>Standard-Aufnahmevorla&amp;ge</translation>
    </message>
    <message>
        <source>The recording quality that Kelbo will use as its default</source>
        <translation>Die Aufnahmequalität, die Kelbo standardmäßig verwendet</translation>
    </message>
    <message>
        <source>The default start buffer that Kelbo will use at the beginning of all programmes</source>
        <translation>Der Vorlauf, den Kelbo standardmäßig vor jeder Sendung aufnimmt</translation>
    </message>
    <message>
        <source>The default end buffer that Kelbo will use at the end of all programmes</source>
        <translation>Der Nachlauf, den Kelbo standardmäßig nach jeder Sendung aufnimmt</translation>
    </message>
    <message>
        <source>Default &amp;Start Buffer</source>
        <translation>Standard-&amp;Vorlauf</translation>
    </message>
    <message>
        <source>Default &amp;End Buffer</source>
        <translation>Standard-Nach&amp;lauf</translation>
    </message>
    <message>
        <source>Schedule &amp;File</source>
        <translation>Zeitplan&amp;datei</translation>
    </message>
    <message>
        <source>The file that contains the schedule information</source>
        <translation>Die Datei mit dem Zeitplan</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>Durchsuchen</translation>
    </message>
    <message>
        <source>Browse for the schedule file on your hard disk</source>
        <translation>Die Zeitplandatei auf der Festplatte suchen</translation>
    </message>
    <message>
        <source>File&amp;Name Format</source>
        <translation>Datei&amp;namensformat</translation>
    </message>
    <message>
        <source>The format used for output filenames</source>
        <translation>Das Format der Namen der Aufnahmedateien</translation>
    </message>
    <message>
        <source>The format used for output filenames (Use variable names below)</source>
        <translation>Das Format der Namen der Aufnahmedateien (mit den Variablen unten)</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>Testen</translation>
    </message>
    <message>
        <source>Test the filename format with a real example from the schedule</source>
        <translation>Das Namensformat an einem echten Eintrag des Zeitplans testen</translation>
    </message>
    <message>
        <source>Preview When Recording</source>
        <translation>Vorschau während der Aufnahme</translation>
    </message>
    <message>
        <source>Show a live preview when a programme starts recording</source>
        <translation>Eine Live-Vorschau zeigen, wenn die Aufnahme einer Sendung beginnt</translation>
    </message>
    <message>
        <source>Hear Audio during Record</source>
        <translation>Ton während der Aufnahme hören</translation>
    </message>
    <message>
        <source>Hear live audio when a programme starts recording</source>
        <translation>Den Ton hören, wenn die Aufnahme einer Sendung beginnt</translation>
    </message>
    <message>
        <source>Auto load new schedule file</source>
        <translation>Neue Zeitplandatei automatisch laden</translation>
    </message>
    <message>
        <source>Automatically load new schedule file every 30 seconds (Recommend turned ON)</source>
        <translation>Eine neue Zeitplandatei alle 30 Sekunden automatisch laden (Einschalten empfohlen)</translation>
    </message>
    <message>
        <source>Expert Mode - NO Confirmations</source>
        <translation>Expertenmodus – KEINE Rückfragen</translation>
    </message>
    <message>
        <source>No confirmations on deletes or changes to any settings or schedules</source>
        <translation>Keine Rückfragen beim Löschen oder Ändern von Einstellungen oder Zeitplänen</translation>
    </message>
    <message>
        <source>Start in System Tray</source>
        <translation>Im Systemabschnitt starten</translation>
    </message>
    <message>
        <source>Start Kelbo in the system tray</source>
        <translation>Kelbo im Systemabschnitt der Kontrollleiste starten</translation>
    </message>
    <message>
        <source>Minimize to System Tray</source>
        <translation>In den Systemabschnitt minimieren</translation>
    </message>
    <message>
        <source>When Kelbo is minimized, place it in the system tray</source>
        <translation>Kelbo beim Minimieren in den Systemabschnitt der Kontrollleiste legen</translation>
    </message>
    <message>
        <source>Capture s&amp;ource</source>
        <translation>Aufnahme&amp;quelle</translation>
    </message>
    <message>
        <source>The video source Kelbo records from; type a stream&apos;s URL to record it</source>
        <translation>Die Videoquelle, von der Kelbo aufnimmt; für einen Stream dessen URL eingeben</translation>
    </message>
    <message>
        <source>A change takes effect the next time Kelbo starts.</source>
        <translation>Eine Änderung wirkt beim nächsten Start von Kelbo.</translation>
    </message>
    <message>
        <source>Channel &amp;playlist</source>
        <translation>Sender-&amp;Wiedergabeliste</translation>
    </message>
    <message>
        <source>An M3U playlist of network streams: each recording tunes to its channel&apos;s entry</source>
        <translation>Eine M3U-Wiedergabeliste von Netzwerk-Streams: Jede Aufnahme wählt den Eintrag ihres Senders</translation>
    </message>
    <message>
        <source>Split By</source>
        <translation>Aufteilen nach</translation>
    </message>
    <message>
        <source>Select how Kelbo will split programme recordings</source>
        <translation>Wählen, wie Kelbo Aufnahmen in Teile aufteilt</translation>
    </message>
    <message>
        <source>NONE</source>
        <translation>KEINE</translation>
    </message>
    <message>
        <source>No splitting of files required</source>
        <translation>Dateien nicht aufteilen</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Split by file size</source>
        <translation>Nach Dateigröße aufteilen</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Zeit</translation>
    </message>
    <message>
        <source>Split by recording time</source>
        <translation>Nach Aufnahmedauer aufteilen</translation>
    </message>
    <message>
        <source>The number of minutes / Mb to split at</source>
        <translation>Die Anzahl Minuten / MB, nach der aufgeteilt wird</translation>
    </message>
    <message>
        <source>Split at</source>
        <translation>Aufteilen bei</translation>
    </message>
    <message>
        <source>Only relevant if you use Digiguide electronic programme guide</source>
        <translation>Nur von Bedeutung, wenn Sie die elektronische Programmzeitschrift Digiguide verwenden</translation>
    </message>
    <message>
        <source>Digiguide Addin Templates</source>
        <translation>Vorlagen des Digiguide-Add-ins</translation>
    </message>
    <message>
        <source>Capture Device</source>
        <translation>Aufnahmegerät</translation>
    </message>
    <message>
        <source>Composite</source>
        <translation>Composite</translation>
    </message>
    <message>
        <source>SVideo</source>
        <translation>S-Video</translation>
    </message>
    <message>
        <source>VideoSource</source>
        <translation>Videoquelle</translation>
    </message>
    <message>
        <source>VideoSuperStandard</source>
        <translation>Fernsehnorm</translation>
    </message>
    <message>
        <source>T&amp;uners</source>
        <translation>&amp;Tuner</translation>
    </message>
    <message>
        <source>How many programmes Kelbo can record at once; overlapping programmes clash only beyond it</source>
        <translation>Wie viele Sendungen Kelbo gleichzeitig aufnehmen kann; sich überschneidende Sendungen kollidieren erst darüber hinaus</translation>
    </message>
</context>
<context>
    <name>kelbo::ui::PreviewForm</name>
    <message>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
</context>
<context>
    <name>kelbo::ui::QtMessageBoxes</name>
    <message>
        <source>(%1 more since)</source>
        <translation>(seitdem %1 weitere)</translation>
    </message>
    <message>
        <source>
The latest, at %1:
%2</source>
        <translation>
Die neueste, um %1:
%2</translation>
    </message>
</context>
<context>
    <name>kelbo::ui::RecordedRowMenu</name>
    <message>
        <source>Play</source>
        <translation>Abspielen</translation>
    </message>
    <message>
        <source>Open Containing Folder</source>
        <translation>Enthaltenden Ordner öffnen</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
</context>
<context>
    <name>kelbo::ui::ScheduleListView</name>
    <message>
        <source>Schedule listing for items to record</source>
        <translation>Zeitplan der aufzunehmenden Sendungen</translation>
    </message>
</context>
<context>
    <name>kelbo::ui::TransportBar</name>
    <message>
        <source>Stop current recording immediately</source>
        <translation>Die laufende Aufnahme sofort beenden</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <source>Add an item to the recording schedule</source>
        <translation>Einen Eintrag zum Aufnahmezeitplan hinzufügen</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Delete the selected item from the recording schedule</source>
        <translation>Den gewählten Eintrag aus dem Aufnahmezeitplan löschen</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
</context>
<context>
    <name>kelbo::ui::TrayMenu</name>
    <message>
        <source>Hide Kelbo</source>
        <translation>Kelbo ausblenden</translation>
    </message>
    <message>
        <source>Stop Recording</source>
        <translation>Aufnahme beenden</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Show Kelbo</source>
        <translation>Kelbo anzeigen</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Commands from the command line cannot reach this recorder: %1.</source>
        <translation>Befehle von der Befehlszeile erreichen diesen Rekorder nicht: %1.</translation>
    </message>
    <message>
        <source>Test pattern</source>
        <translation>Testbild</translation>
    </message>
</context>
</TS>
