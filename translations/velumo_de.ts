<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>AboutForm</name>
    <message>
        <source>About</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>( Version 1.20 )</source>
        <translation>( Version 1.20 )</translation>
    </message>
    <message>
        <source>&amp;Continue</source>
        <translation>&amp;Weiter</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>%1: %2 Try &apos;%1 --help&apos;.</source>
        <translation>%1: %2 Siehe &apos;%1 --help&apos;.</translation>
    </message>
    <message>
        <source>Velumo MP3 Ringtone Maker: cut a part of a music file into an MP3, AMR, iPhone or Android ringtone.</source>
        <translation>Velumo MP3 Ringtone Maker: schneidet einen Teil einer Musikdatei zu einem MP3-, AMR-, iPhone- oder Android-Klingelton.</translation>
    </message>
    <message>
        <source>Shows this help.</source>
        <translation>Zeigt diese Hilfe.</translation>
    </message>
    <message>
        <source>Shows the program&apos;s version.</source>
        <translation>Zeigt die Version des Programms.</translation>
    </message>
    <message>
        <source>A music file to open at start.</source>
        <translation>Eine Musikdatei, die beim Start geöffnet wird.</translation>
    </message>
    <message>
        <source>Only one file may be given.</source>
        <translation>Es darf nur eine Datei angegeben werden.</translation>
    </message>
    <message>
        <source>Sends FILE to the phone paired in KDE Connect, and ends.</source>
        <translation>Sendet FILE an das in KDE Connect gekoppelte Telefon und endet.</translation>
    </message>
    <message>
        <source>--to goes with --send.</source>
        <translation>--to gehört zu --send.</translation>
    </message>
    <message>
        <source>--send takes one file, and one --to.</source>
        <translation>--send nimmt eine Datei und ein --to.</translation>
    </message>
    <message>
        <source>--send needs a file.</source>
        <translation>--send braucht eine Datei.</translation>
    </message>
    <message>
        <source>--to needs a name.</source>
        <translation>--to braucht einen Namen.</translation>
    </message>
    <message>
        <source>Prints the tempo of FILE in BPM on the first line (0 without a steady beat), then its beat times in seconds, one a line.</source>
        <translation>Gibt das Tempo von FILE in BPM in der ersten Zeile aus (0 ohne gleichmäßigen Takt), dann die Zeiten seiner Schläge in Sekunden, eine je Zeile.</translation>
    </message>
    <message>
        <source>Prints the ringtone suggested for FILE (its chorus) as one line: START END in seconds.</source>
        <translation>Gibt den für FILE vorgeschlagenen Klingelton (seinen Refrain) als eine Zeile aus: START ENDE in Sekunden.</translation>
    </message>
    <message>
        <source>Length of the suggested ringtone (default 30).</source>
        <translation>Länge des vorgeschlagenen Klingeltons (Vorgabe 30).</translation>
    </message>
    <message>
        <source>--length goes with --suggest.</source>
        <translation>--length gehört zu --suggest.</translation>
    </message>
    <message>
        <source>Only one of --beats and --suggest may be given.</source>
        <translation>Nur eines von --beats und --suggest ist erlaubt.</translation>
    </message>
    <message>
        <source>%1 needs one FILE.</source>
        <translation>%1 braucht genau eine FILE.</translation>
    </message>
    <message>
        <source>%1: Not a length in seconds: &apos;%2&apos;.</source>
        <translation>%1: Keine Länge in Sekunden: &apos;%2&apos;.</translation>
    </message>
    <message>
        <source>The sound module cannot analyse songs.</source>
        <translation>Das Klangmodul kann keine Lieder analysieren.</translation>
    </message>
    <message>
        <source>No sound in &quot;%1&quot; to suggest a ringtone from.</source>
        <translation>Kein Klang in &quot;%1&quot;, aus dem sich ein Klingelton vorschlagen ließe.</translation>
    </message>
    <message>
        <source>Cannot write the answer.</source>
        <translation>Die Antwort kann nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>--save goes with none of --send, --beats, --suggest and --length.</source>
        <translation>--save geht mit keinem von --send, --beats, --suggest und --length zusammen.</translation>
    </message>
    <message>
        <source>--save takes one TARGET, one --from and one --to.</source>
        <translation>--save nimmt ein TARGET, ein --from und ein --to.</translation>
    </message>
    <message>
        <source>--save needs one FILE after its TARGET.</source>
        <translation>--save braucht eine FILE nach seinem TARGET.</translation>
    </message>
    <message>
        <source>--from and --to go together.</source>
        <translation>--from und --to gehören zusammen.</translation>
    </message>
    <message>
        <source>--save needs a TARGET.</source>
        <translation>--save braucht ein TARGET.</translation>
    </message>
    <message>
        <source>Not a time in seconds: &apos;%1&apos;.</source>
        <translation>Keine Zeit in Sekunden: &apos;%1&apos;.</translation>
    </message>
    <message>
        <source>--to (%1) must come after --from (%2).</source>
        <translation>--to (%1) muss nach --from (%2) liegen.</translation>
    </message>
    <message>
        <source>With --send: the phone to send to, by its name. With --save: where the ringtone ends, in seconds.</source>
        <translation>Mit --send: das Telefon, an das gesendet wird, nach seinem Namen. Mit --save: wo der Klingelton endet, in Sekunden.</translation>
    </message>
    <message>
        <source>Saves the ringtone of FILE as TARGET, its type by the extension, and ends: from --from to --to, or the suggested one.</source>
        <translation>Speichert den Klingelton aus FILE als TARGET, die Art nach der Endung, und endet: von --from bis --to, oder den vorgeschlagenen.</translation>
    </message>
    <message>
        <source>With --save: where the ringtone starts, in seconds.</source>
        <translation>Mit --save: wo der Klingelton beginnt, in Sekunden.</translation>
    </message>
    <message>
        <source>--from goes with --save.</source>
        <translation>--from gehört zu --save.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a ringtone type: its name must end in %2.</source>
        <translation>&quot;%1&quot; ist keine Klingeltonart: der Name muss auf %2 enden.</translation>
    </message>
    <message>
        <source>Saved &quot;%1&quot; from %2 to %3 seconds.</source>
        <translation>&quot;%1&quot; gespeichert, von %2 bis %3 Sekunden.</translation>
    </message>
</context>
<context>
    <name>Errors</name>
    <message>
        <source>Unknown error</source>
        <translation>Unbekannter Fehler</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Error openning file: </source>
        <translation>Fehler beim Öffnen der Datei: </translation>
    </message>
</context>
<context>
    <name>Export</name>
    <message>
        <source>The ringtone was not saved: </source>
        <translation>Der Klingelton wurde nicht gespeichert: </translation>
    </message>
    <message>
        <source>%1 (&quot;%2&quot;)</source>
        <translation>%1 („%2“)</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is neither %2; the name must end in one of these, in lower case.</source>
        <translation>„%1“ ist weder %2; der Name muss auf eine dieser Endungen enden, in Kleinbuchstaben.</translation>
    </message>
    <message>
        <source> nor </source>
        <translation> noch </translation>
    </message>
    <message>
        <source>the converter could not be started (%1).</source>
        <translation>der Konverter konnte nicht gestartet werden (%1).</translation>
    </message>
    <message>
        <source>the converter was stopped by signal %1 (%2).</source>
        <translation>der Konverter wurde durch Signal %1 beendet (%2).</translation>
    </message>
    <message>
        <source>the converter&apos;s end could not be observed.</source>
        <translation>das Ende des Konverters war nicht feststellbar.</translation>
    </message>
    <message>
        <source>the converter failed with exit status %1.</source>
        <translation>der Konverter scheiterte mit Exit-Status %1.</translation>
    </message>
    <message>
        <source>the converter reported success, but &quot;%1&quot; is not there.</source>
        <translation>der Konverter meldete Erfolg, aber „%1“ ist nicht da.</translation>
    </message>
    <message>
        <source>the converter reported success, but &quot;%1&quot; is empty.</source>
        <translation>der Konverter meldete Erfolg, aber „%1“ ist leer.</translation>
    </message>
    <message>
        <source>no music file is open. Open one, mark the part you want, then save.</source>
        <translation>keine Musikdatei ist geöffnet. Öffnen Sie eine, markieren Sie den gewünschten Teil und speichern Sie dann.</translation>
    </message>
    <message>
        <source>the converter &quot;%1&quot; is neither %2 nor in the work folder (%3).</source>
        <translation>der Konverter „%1“ ist weder %2 noch im Arbeitsordner (%3).</translation>
    </message>
    <message>
        <source>beside the program (%1)</source>
        <translation>neben dem Programm (%1)</translation>
    </message>
    <message>
        <source>in %1</source>
        <translation>in %1</translation>
    </message>
</context>
<context>
    <name>JobText</name>
    <message>
        <source>Converting Mp3 Ringtone ... </source>
        <translation>MP3-Klingelton wird erstellt ... </translation>
    </message>
    <message>
        <source>Generating %1 ...</source>
        <translation>Erzeuge %1 ...</translation>
    </message>
    <message>
        <source>Completed.</source>
        <translation>Fertig.</translation>
    </message>
    <message>
        <source>Failed.</source>
        <translation>Fehlgeschlagen.</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Bestätigen</translation>
    </message>
    <message>
        <source>Completed. Do you want to open the target directory?</source>
        <translation>Fertig. Möchten Sie den Zielordner öffnen?</translation>
    </message>
    <message>
        <source> Note that the phone plays at most %1 seconds of a ringtone.</source>
        <translation> Beachten Sie, dass das Telefon höchstens %1 Sekunden eines Klingeltons spielt.</translation>
    </message>
</context>
<context>
    <name>Keys</name>
    <message>
        <source>Space</source>
        <translation>Leertaste</translation>
    </message>
    <message>
        <source>Left</source>
        <translation>Links</translation>
    </message>
    <message>
        <source>Right</source>
        <translation>Rechts</translation>
    </message>
    <message>
        <source>Home</source>
        <translation>Pos1</translation>
    </message>
    <message>
        <source>End</source>
        <translation>Ende</translation>
    </message>
    <message>
        <source>Shift+Left</source>
        <translation>Umschalt+Links</translation>
    </message>
    <message>
        <source>Shift+Right</source>
        <translation>Umschalt+Rechts</translation>
    </message>
    <message>
        <source>Ctrl+O</source>
        <translation>Strg+O</translation>
    </message>
    <message>
        <source>Ctrl+S</source>
        <translation>Strg+S</translation>
    </message>
    <message>
        <source>Ctrl+Q</source>
        <translation>Strg+Q</translation>
    </message>
    <message>
        <source>Ctrl+P</source>
        <translation>Strg+P</translation>
    </message>
    <message>
        <source>Alt+Left</source>
        <translation>Alt+Links</translation>
    </message>
    <message>
        <source>Alt+Right</source>
        <translation>Alt+Rechts</translation>
    </message>
    <message>
        <source>Ctrl+wheel</source>
        <translation>Strg+Mausrad</translation>
    </message>
</context>
<context>
    <name>MainForm</name>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Retry</source>
        <translation>Wiederholen</translation>
    </message>
    <message>
        <source>Ignore</source>
        <translation>Ignorieren</translation>
    </message>
    <message>
        <source>File Name: %1</source>
        <translation>Datei: %1</translation>
    </message>
    <message>
        <source>Sample Rate: %1</source>
        <translation>Abtastrate: %1</translation>
    </message>
    <message>
        <source>Time Length: </source>
        <translation>Dauer: </translation>
    </message>
    <message>
        <source>Bitrate: %1</source>
        <translation>Bitrate: %1</translation>
    </message>
    <message>
        <source>Channel: %1</source>
        <translation>Kanäle: %1</translation>
    </message>
    <message>
        <source>Sample Rate: </source>
        <translation>Abtastrate: </translation>
    </message>
    <message>
        <source>Time Length: %1</source>
        <translation>Dauer: %1</translation>
    </message>
    <message>
        <source>Bitrate: </source>
        <translation>Bitrate: </translation>
    </message>
    <message>
        <source>Channel: </source>
        <translation>Kanäle: </translation>
    </message>
    <message>
        <source>Cannot open &apos;%1&apos;: the name holds characters no file name can have</source>
        <translation>&apos;%1&apos; kann nicht geöffnet werden: der Name enthält Zeichen, die kein Dateiname haben kann</translation>
    </message>
    <message>
        <source>Not enough memory for the timeline of %1 seconds</source>
        <translation>Nicht genug Speicher für die Zeitleiste von %1 Sekunden</translation>
    </message>
    <message>
        <source>Play / Pause</source>
        <translation>Abspielen / Pause</translation>
    </message>
    <message>
        <source>Cursor one second back</source>
        <translation>Cursor eine Sekunde zurück</translation>
    </message>
    <message>
        <source>Cursor one second on</source>
        <translation>Cursor eine Sekunde vor</translation>
    </message>
    <message>
        <source>Cursor to the first second</source>
        <translation>Cursor zur ersten Sekunde</translation>
    </message>
    <message>
        <source>Cursor to the last second</source>
        <translation>Cursor zur letzten Sekunde</translation>
    </message>
    <message>
        <source>Mark start</source>
        <translation>Anfang markieren</translation>
    </message>
    <message>
        <source>Mark end</source>
        <translation>Ende markieren</translation>
    </message>
    <message>
        <source>Extend left</source>
        <translation>Nach links erweitern</translation>
    </message>
    <message>
        <source>Extend right</source>
        <translation>Nach rechts erweitern</translation>
    </message>
    <message>
        <source>Play the selected segment</source>
        <translation>Auswahl abspielen</translation>
    </message>
    <message>
        <source>Timeline: real sound / decorative</source>
        <translation>Zeitleiste: echter Klang / Zierbild</translation>
    </message>
    <message>
        <source>Open a music file</source>
        <translation>Musikdatei öffnen</translation>
    </message>
    <message>
        <source>Save the ringtone</source>
        <translation>Klingelton speichern</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>This list of keys</source>
        <translation>Diese Tastenliste</translation>
    </message>
    <message>
        <source>Keys:</source>
        <translation>Tasten:</translation>
    </message>
    <message>
        <source>Cannot open &apos;%1&apos;: only files on this computer can be opened</source>
        <translation>&apos;%1&apos; kann nicht geöffnet werden: nur Dateien auf diesem Computer lassen sich öffnen</translation>
    </message>
    <message>
        <source>Cannot open &apos;%1&apos;: it is a folder, not a music file</source>
        <translation>&apos;%1&apos; kann nicht geöffnet werden: es ist ein Ordner, keine Musikdatei</translation>
    </message>
    <message>
        <source>File Name:</source>
        <translation>Datei:</translation>
    </message>
    <message>
        <source>Bitrate:</source>
        <translation>Bitrate:</translation>
    </message>
    <message>
        <source>Channels:</source>
        <translation>Kanäle:</translation>
    </message>
    <message>
        <source>Sample Rate:</source>
        <translation>Abtastrate:</translation>
    </message>
    <message>
        <source>Length:</source>
        <translation>Dauer:</translation>
    </message>
    <message>
        <source>Begin Pos: </source>
        <translation>Anfang: </translation>
    </message>
    <message>
        <source>End Pos:</source>
        <translation>Ende:</translation>
    </message>
    <message>
        <source>Length: </source>
        <translation>Länge: </translation>
    </message>
    <message>
        <source>About</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Current Pos: </source>
        <translation>Position: </translation>
    </message>
    <message>
        <source>Mp3 Music Files (*.mp3)</source>
        <translation>MP3-Musikdateien (*.mp3)</translation>
    </message>
    <message>
        <source>Wave Files (*.wav)</source>
        <translation>Wave-Dateien (*.wav)</translation>
    </message>
    <message>
        <source>WMA Files (*.wma)</source>
        <translation>WMA-Dateien (*.wma)</translation>
    </message>
    <message>
        <source>All Files (*.*)</source>
        <translation>Alle Dateien (*.*)</translation>
    </message>
    <message>
        <source>A ringtone is being saved. Please wait until it is finished.</source>
        <translation>Ein Klingelton wird gerade gespeichert. Bitte warten Sie, bis er fertig ist.</translation>
    </message>
    <message>
        <source>Cannot keep the timeline choice: &apos;%1&apos; cannot be written</source>
        <translation>Die Wahl der Zeitleiste lässt sich nicht merken: &apos;%1&apos; kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>Cannot start reading the sound for the timeline (it stays empty): </source>
        <translation>Der Klang für die Zeitleiste kann nicht gelesen werden (sie bleibt leer): </translation>
    </message>
    <message>
        <source>End Pos: </source>
        <translation>Ende: </translation>
    </message>
    <message>
        <source>Play the loop</source>
        <translation>Schleife abspielen</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Abspielen</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Mono</source>
        <translation>Mono</translation>
    </message>
    <message>
        <source>Stereo</source>
        <translation>Stereo</translation>
    </message>
    <message>
        <source>VBR</source>
        <translation>VBR</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>0.5 s</source>
        <translation>0,5 s</translation>
    </message>
    <message>
        <source>1 s</source>
        <translation>1 s</translation>
    </message>
    <message>
        <source>2 s</source>
        <translation>2 s</translation>
    </message>
    <message>
        <source>3 s</source>
        <translation>3 s</translation>
    </message>
    <message>
        <source>Minimise</source>
        <translation>Minimieren</translation>
    </message>
    <message>
        <source>Timeline</source>
        <translation>Zeitleiste</translation>
    </message>
    <message>
        <source>Start %1, end %2, cursor %3</source>
        <translation>Anfang %1, Ende %2, Cursor %3</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Play selected segment</source>
        <translation>Auswahl abspielen</translation>
    </message>
    <message>
        <source>Velumo MP3 Ringtone Maker</source>
        <translation>Velumo MP3 Ringtone Maker</translation>
    </message>
    <message>
        <source>Banner</source>
        <translation>Banner</translation>
    </message>
    <message>
        <source>Timeline area</source>
        <translation>Zeitleistenbereich</translation>
    </message>
    <message>
        <source>Send the saved ringtone to the phone</source>
        <translation>Gespeicherten Klingelton an das Telefon senden</translation>
    </message>
    <message>
        <source>Cursor one column back</source>
        <translation>Cursor eine Spalte zurück</translation>
    </message>
    <message>
        <source>Cursor one column on</source>
        <translation>Cursor eine Spalte vor</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>Vergrößern</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>Verkleinern</translation>
    </message>
    <message>
        <source>Zoom back to the whole-second scale</source>
        <translation>Zurück zum Maßstab ganzer Sekunden</translation>
    </message>
    <message>
        <source>Zoom round the pointer</source>
        <translation>Um den Mauszeiger zoomen</translation>
    </message>
    <message>
        <source>Not snapped: the beats are still being found</source>
        <translation>Nicht eingerastet: die Schläge werden noch gesucht</translation>
    </message>
    <message>
        <source>Not snapped: this song has no steady beat</source>
        <translation>Nicht eingerastet: dieses Lied hat keinen festen Takt</translation>
    </message>
    <message>
        <source>Nothing to suggest: the song has no sound</source>
        <translation>Nichts vorzuschlagen: das Lied ist stumm</translation>
    </message>
    <message>
        <source>Suggested: the chorus at %1</source>
        <translation>Vorgeschlagen: der Refrain bei %1</translation>
    </message>
    <message>
        <source>Nothing repeats: suggested the strongest stretch at %1</source>
        <translation>Nichts wiederholt sich: vorgeschlagen ist die stärkste Stelle bei %1</translation>
    </message>
    <message>
        <source>Not suggested yet: the song is still being analysed</source>
        <translation>Noch kein Vorschlag: das Lied wird noch analysiert</translation>
    </message>
    <message>
        <source>Snap to the beat on / off</source>
        <translation>Am Takt einrasten ein / aus</translation>
    </message>
    <message>
        <source>Suggest a ringtone (the chorus)</source>
        <translation>Klingelton vorschlagen (den Refrain)</translation>
    </message>
</context>
<context>
    <name>Phone</name>
    <message>
        <source>No paired phone named &quot;%1&quot; is reachable (reachable: %2).</source>
        <translation>Kein gekoppeltes Telefon namens &quot;%1&quot; ist erreichbar (erreichbar: %2).</translation>
    </message>
    <message>
        <source>%1 does not take files: switch on its &quot;Share and receive&quot; plugin in KDE Connect.</source>
        <translation>%1 nimmt keine Dateien an: Schalten Sie sein Modul &quot;Teilen und Empfangen&quot; in KDE Connect ein.</translation>
    </message>
    <message>
        <source>Cannot send %1: the file is not there any more.</source>
        <translation>%1 kann nicht gesendet werden: Die Datei ist nicht mehr da.</translation>
    </message>
    <message>
        <source>Cannot send %1: it is not a file.</source>
        <translation>%1 kann nicht gesendet werden: Es ist keine Datei.</translation>
    </message>
    <message>
        <source>Cannot send %1: it cannot be read.</source>
        <translation>%1 kann nicht gesendet werden: Es kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>KDE Connect could not be started: %1</source>
        <translation>KDE Connect konnte nicht gestartet werden: %1</translation>
    </message>
    <message>
        <source>KDE Connect did not answer in time.</source>
        <translation>KDE Connect hat nicht rechtzeitig geantwortet.</translation>
    </message>
    <message>
        <source>There is no session bus, so KDE Connect cannot be reached.</source>
        <translation>Es gibt keinen Sitzungsbus, daher ist KDE Connect nicht erreichbar.</translation>
    </message>
    <message>
        <source>KDE Connect refused: %1</source>
        <translation>KDE Connect hat abgelehnt: %1</translation>
    </message>
    <message>
        <source>Several phones are reachable (%1): name one with --to NAME.</source>
        <translation>Mehrere Telefone sind erreichbar (%1): Nennen Sie eines mit --to NAME.</translation>
    </message>
    <message>
        <source>%1 did not take the ringtone: %2</source>
        <translation>%1 hat den Klingelton nicht angenommen: %2</translation>
    </message>
    <message>
        <source>Sent to %1</source>
        <translation>An %1 gesendet</translation>
    </message>
    <message>
        <source>Looking for the phone ...</source>
        <translation>Telefon wird gesucht ...</translation>
    </message>
    <message>
        <source>Not sent.</source>
        <translation>Nicht gesendet.</translation>
    </message>
    <message>
        <source>Send to phone</source>
        <translation>An Telefon senden</translation>
    </message>
    <message>
        <source>Which phone should get the ringtone?</source>
        <translation>Welches Telefon soll den Klingelton bekommen?</translation>
    </message>
    <message>
        <source>KDE Connect is not installed, so the ringtone cannot go to a phone. Install it with: sudo apt install kdeconnect</source>
        <translation>KDE Connect ist nicht installiert, daher kann der Klingelton an kein Telefon gehen. Installieren Sie es mit: sudo apt install kdeconnect</translation>
    </message>
    <message>
        <source>No paired phone is reachable. Pair the phone in KDE Connect and keep it on the same network.</source>
        <translation>Kein gekoppeltes Telefon ist erreichbar. Koppeln Sie das Telefon in KDE Connect und halten Sie es im selben Netzwerk.</translation>
    </message>
</context>
<context>
    <name>RingtoneTypes</name>
    <message>
        <source>Mp3 Music File</source>
        <translation>MP3-Musikdatei</translation>
    </message>
    <message>
        <source>AMR Ringtone</source>
        <translation>AMR-Klingelton</translation>
    </message>
    <message>
        <source>iPhone Ringtone</source>
        <translation>iPhone-Klingelton</translation>
    </message>
    <message>
        <source>Android Ringtone</source>
        <translation>Android-Klingelton</translation>
    </message>
    <message>
        <source>an MP3 ringtone</source>
        <translation>ein MP3-Klingelton</translation>
    </message>
    <message>
        <source>an AMR ringtone</source>
        <translation>ein AMR-Klingelton</translation>
    </message>
    <message>
        <source>an iPhone ringtone</source>
        <translation>ein iPhone-Klingelton</translation>
    </message>
    <message>
        <source>an Android ringtone</source>
        <translation>ein Android-Klingelton</translation>
    </message>
</context>
<context>
    <name>Skin</name>
    <message>
        <source>Play</source>
        <translation>Abspielen</translation>
    </message>
    <message>
        <source>Mark start</source>
        <translation>Anfang markieren</translation>
    </message>
    <message>
        <source>Mark end</source>
        <translation>Ende markieren</translation>
    </message>
    <message>
        <source>Play the selected segment</source>
        <translation>Auswahl abspielen</translation>
    </message>
    <message>
        <source>Extend left</source>
        <translation>Nach links erweitern</translation>
    </message>
    <message>
        <source>Extend right</source>
        <translation>Nach rechts erweitern</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>OPEN</source>
        <translation>ÖFFNEN</translation>
    </message>
    <message>
        <source>SAVE</source>
        <translation>SICHERN</translation>
    </message>
    <message>
        <source>RINGTONE FILE</source>
        <translation>KLINGELTON</translation>
    </message>
    <message>
        <source>Audio Information</source>
        <translation>Audio-Informationen</translation>
    </message>
    <message>
        <source>Selected Segment Info</source>
        <translation>Gewählter Abschnitt</translation>
    </message>
    <message>
        <source>Cut your favourite song into a ringtone</source>
        <translation>Machen Sie Ihr Lieblingslied zum Klingelton</translation>
    </message>
    <message>
        <source>Open a music file to begin  ▸</source>
        <translation>Zum Start eine Musikdatei öffnen  ▸</translation>
    </message>
    <message>
        <source>Turn your favourite songs into</source>
        <translation>Machen Sie aus Ihren Lieblingsliedern</translation>
    </message>
    <message>
        <source>MP3 and AMR ringtones for your phone.</source>
        <translation>MP3- und AMR-Klingeltöne fürs Telefon.</translation>
    </message>
    <message>
        <source>© 2026 Velumo Soft. All rights reserved.</source>
        <translation>© 2026 Velumo Soft. Alle Rechte vorbehalten.</translation>
    </message>
</context>
<context>
    <name>TMainForm</name>
    <message>
        <source>Fade in</source>
        <translation>Einblenden</translation>
    </message>
    <message>
        <source>Fade out</source>
        <translation>Ausblenden</translation>
    </message>
    <message>
        <source>Match phone loudness</source>
        <translation>An Telefonlautstärke anpassen</translation>
    </message>
    <message>
        <source>Show the real sound</source>
        <translation>Echten Klang zeigen</translation>
    </message>
    <message>
        <source>Keys…</source>
        <translation>Tasten…</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Loudness could not be measured</source>
        <translation>Lautheit konnte nicht gemessen werden</translation>
    </message>
    <message>
        <source>Send to phone</source>
        <translation>An Telefon senden</translation>
    </message>
    <message>
        <source>Snap to the beat</source>
        <translation>Am Takt einrasten</translation>
    </message>
    <message>
        <source>Suggest a ringtone</source>
        <translation>Klingelton vorschlagen</translation>
    </message>
</context>
<context>
    <name>WorkFolder</name>
    <message>
        <source>Cannot examine the work folder %1: %2</source>
        <translation>Der Arbeitsordner %1 kann nicht geprüft werden: %2</translation>
    </message>
    <message>
        <source>Cannot create the work folder %1: %2</source>
        <translation>Der Arbeitsordner %1 kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>The work folder %1 is a symbolic link.</source>
        <translation>Der Arbeitsordner %1 ist ein symbolischer Link.</translation>
    </message>
    <message>
        <source>The work folder %1 is not a folder.</source>
        <translation>Der Arbeitsordner %1 ist kein Ordner.</translation>
    </message>
    <message>
        <source>The work folder %1 belongs to another user.</source>
        <translation>Der Arbeitsordner %1 gehört einem anderen Benutzer.</translation>
    </message>
    <message>
        <source>The work folder %1 can be written by other users.</source>
        <translation>Der Arbeitsordner %1 ist für andere Benutzer beschreibbar.</translation>
    </message>
    <message>
        <source>The work folder %1 cannot be read (%2).</source>
        <translation>Der Arbeitsordner %1 kann nicht gelesen werden (%2).</translation>
    </message>
    <message>
        <source>The work folder %1 cannot be written (%2).</source>
        <translation>In den Arbeitsordner %1 kann nicht geschrieben werden (%2).</translation>
    </message>
</context>
</TS>
