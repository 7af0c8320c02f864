<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>BoardFilter</name>
    <message>
        <source>Search notes</source>
        <translation>Notizen suchen</translation>
    </message>
</context>
<context>
    <name>CryptCommands</name>
    <message>
        <source>No Text selected for Cryption</source>
        <translation>Kein Text zum Verschlüsseln markiert</translation>
    </message>
    <message>
        <source>No Text selected for Decrypt, or no QelCrypt at startup.</source>
        <translation>Kein Text zum Entschlüsseln markiert, oder er beginnt nicht mit QelCrypt.</translation>
    </message>
    <message>
        <source>The selection holds a picture or an object, which cannot be encrypted.</source>
        <translation>Die Auswahl enthält ein Bild oder Objekt, das nicht verschlüsselt werden kann.</translation>
    </message>
    <message>
        <source>The encrypted text is damaged: the selection was not decrypted.</source>
        <translation>Der verschlüsselte Text ist beschädigt: Die Auswahl wurde nicht entschlüsselt.</translation>
    </message>
    <message>
        <source>Wrong master password: the selection was not decrypted.</source>
        <translation>Falsches Master-Passwort: Die Auswahl wurde nicht entschlüsselt.</translation>
    </message>
    <message>
        <source>The system&apos;s random source failed: no password was created.</source>
        <translation>Die Zufallsquelle des Systems hat versagt: Es wurde kein Passwort erzeugt.</translation>
    </message>
</context>
<context>
    <name>FindBar</name>
    <message>
        <source>Match case</source>
        <translation>Groß/klein beachten</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Previous match (Shift+F3)</source>
        <translation>Vorheriger Treffer (Umschalt+F3)</translation>
    </message>
    <message>
        <source>Next match (F3)</source>
        <translation>Nächster Treffer (F3)</translation>
    </message>
    <message>
        <source>Close (Esc)</source>
        <translation>Schließen (Esc)</translation>
    </message>
</context>
<context>
    <name>FontDialog</name>
    <message>
        <source>&amp;Colour...</source>
        <translation>&amp;Farbe...</translation>
    </message>
    <message>
        <source>Set Font</source>
        <translation>Schrift festlegen</translation>
    </message>
</context>
<context>
    <name>GlobalKeysDialog</name>
    <message>
        <source>Global Keys</source>
        <translation>Globale Tasten</translation>
    </message>
    <message>
        <source>These keys work while any program has the keyboard.</source>
        <translation>Diese Tasten wirken, welches Programm auch immer die Tastatur hat.</translation>
    </message>
    <message>
        <source>The two commands need different keys.</source>
        <translation>Die beiden Befehle brauchen verschiedene Tasten.</translation>
    </message>
</context>
<context>
    <name>GlobalShortcuts</name>
    <message>
        <source>Global Keys</source>
        <translation>Globale Tasten</translation>
    </message>
    <message>
        <source>Change Keys...</source>
        <translation>Tasten ändern...</translation>
    </message>
    <message>
        <source>Show Board</source>
        <translation>Tafel zeigen</translation>
    </message>
    <message>
        <source>New Note</source>
        <translation>Neue Notiz</translation>
    </message>
    <message>
        <source>The key %1 for &quot;%2&quot; is held by another program. Choose another key in the board&apos;s menu under &quot;Global Keys&quot;.</source>
        <translation>Die Taste %1 für „%2“ belegt ein anderes Programm. Wählen Sie im Menü der Tafel unter „Globale Tasten“ eine andere.</translation>
    </message>
    <message>
        <source>The key %1 for &quot;%2&quot; is not on this keyboard.</source>
        <translation>Die Taste %1 für „%2“ gibt es auf dieser Tastatur nicht.</translation>
    </message>
    <message>
        <source>none</source>
        <translation>keine</translation>
    </message>
    <message>
        <source>%1 (not available)</source>
        <translation>%1 (nicht verfügbar)</translation>
    </message>
</context>
<context>
    <name>InstanceLock</name>
    <message>
        <source>Cannot create the lock file %1</source>
        <translation>Die Sperrdatei %1 kann nicht angelegt werden</translation>
    </message>
</context>
<context>
    <name>LinkCommands</name>
    <message>
        <source>The mail could not be handed to the mail program.
%1</source>
        <translation>Die Mail konnte nicht an das Mailprogramm übergeben werden.
%1</translation>
    </message>
</context>
<context>
    <name>MasterPasswordPrompt</name>
    <message>
        <source>&amp;Show password</source>
        <translation>Passwort &amp;anzeigen</translation>
    </message>
    <message>
        <source>Master Password</source>
        <translation>Master-Passwort</translation>
    </message>
    <message>
        <source>Please Enter Master Password</source>
        <translation>Bitte Master-Passwort eingeben</translation>
    </message>
</context>
<context>
    <name>NoteEditorPane</name>
    <message>
        <source>Align</source>
        <translation>Ausrichten</translation>
    </message>
    <message>
        <source>Format</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Indent</source>
        <translation>Einzug</translation>
    </message>
    <message>
        <source>BK Color</source>
        <translation>Hintergrundfarbe</translation>
    </message>
    <message>
        <source>Calc</source>
        <translation>Rechnen</translation>
    </message>
    <message>
        <source>Clear Results</source>
        <translation>Ergebnisse löschen</translation>
    </message>
    <message>
        <source>Send Note</source>
        <translation>Notiz senden</translation>
    </message>
    <message>
        <source>Find...</source>
        <translation>Suchen...</translation>
    </message>
    <message>
        <source>Spell Check</source>
        <translation>Rechtschreibprüfung</translation>
    </message>
    <message>
        <source>Spelling Language</source>
        <translation>Sprache der Prüfung</translation>
    </message>
    <message>
        <source>Encryption</source>
        <translation>Verschlüsselung</translation>
    </message>
</context>
<context>
    <name>NoteStorage</name>
    <message>
        <source>An unfinished store of the notes did not match the note files and was not completed. The notes are shown as the files hold them.</source>
        <translation>Ein unvollendetes Speichern der Notizen passte nicht zu den Notizdateien und wurde nicht abgeschlossen. Die Notizen werden so gezeigt, wie die Dateien sie enthalten.</translation>
    </message>
    <message>
        <source>The note file %1 could not be read (%2). The note is not shown; the file is kept in its folder under a name beginning with &quot;QelNotes_unreadable_&quot;.</source>
        <translation>Die Notizdatei %1 konnte nicht gelesen werden (%2). Die Notiz wird nicht gezeigt; die Datei bleibt in ihrem Ordner unter einem Namen, der mit „QelNotes_unreadable_“ beginnt.</translation>
    </message>
    <message>
        <source>The note file %1 is not shown: the note files before it are not numbered without a gap from 0. It is kept in its folder under a name beginning with &quot;QelNotes_unloaded_&quot;.</source>
        <translation>Die Notizdatei %1 wird nicht gezeigt: Die Notizdateien davor sind nicht lückenlos ab 0 nummeriert. Sie bleibt in ihrem Ordner unter einem Namen, der mit „QelNotes_unloaded_“ beginnt.</translation>
    </message>
    <message>
        <source>The note file %1 is a copy kept of a note that was changed in two places (by a sync tool or by this program). It is shown as a note of its own at the end of the board, and stored with the other notes from now on.</source>
        <translation>Die Notizdatei %1 ist die aufbewahrte Kopie einer Notiz, die an zwei Stellen geändert wurde (von einem Sync-Programm oder von diesem Programm). Sie wird als eigene Notiz am Ende der Tafel gezeigt und ab jetzt mit den anderen Notizen gespeichert.</translation>
    </message>
    <message>
        <source>The notes could not be stored: the files changed while they were written.
The notes stored before are kept.</source>
        <translation>Die Notizen konnten nicht gespeichert werden: Die Dateien änderten sich beim Schreiben.
Die zuvor gespeicherten Notizen bleiben erhalten.</translation>
    </message>
    <message>
        <source>The note file %1 was changed by another program after it was read here. The note as shown here is stored; the other text is kept as %2 and is shown as a note of its own.</source>
        <translation>Die Notizdatei %1 wurde von einem anderen Programm geändert, nachdem sie hier gelesen wurde. Die Notiz wird so gespeichert, wie sie hier steht; der andere Text bleibt als %2 erhalten und wird als eigene Notiz gezeigt.</translation>
    </message>
    <message>
        <source>The note file %1 was made by another program after the notes were read here. It is kept as %2 and is shown as a note of its own.</source>
        <translation>Die Notizdatei %1 wurde von einem anderen Programm angelegt, nachdem die Notizen hier gelesen wurden. Sie bleibt als %2 erhalten und wird als eigene Notiz gezeigt.</translation>
    </message>
    <message>
        <source>The note file %1 was made or changed by another program after the notes were read here. It is kept and is shown as a note of its own.</source>
        <translation>Die Notizdatei %1 wurde von einem anderen Programm angelegt oder geändert, nachdem die Notizen hier gelesen wurden. Sie bleibt erhalten und wird als eigene Notiz gezeigt.</translation>
    </message>
    <message>
        <source>it reads back differently</source>
        <translation>sie liest sich anders zurück</translation>
    </message>
    <message>
        <source>The notes could not be stored: %1: %2.
The notes stored before are kept.</source>
        <translation>Die Notizen konnten nicht gespeichert werden: %1: %2.
Die zuvor gespeicherten Notizen bleiben erhalten.</translation>
    </message>
    <message>
        <source>The note&apos;s file number is not known; all notes have to be stored.</source>
        <translation>Die Dateinummer der Notiz ist unbekannt; alle Notizen müssen gespeichert werden.</translation>
    </message>
    <message>
        <source>The note could not be stored: %1 was changed by another program and its text could not be kept as %2: %3.
Both texts are kept.</source>
        <translation>Die Notiz konnte nicht gespeichert werden: %1 wurde von einem anderen Programm geändert, und dessen Text konnte nicht als %2 aufbewahrt werden: %3.
Beide Texte bleiben erhalten.</translation>
    </message>
    <message>
        <source>The note could not be stored: %1: %2.
The note stored before is kept.</source>
        <translation>Die Notiz konnte nicht gespeichert werden: %1: %2.
Die zuvor gespeicherte Notiz bleibt erhalten.</translation>
    </message>
    <message>
        <source>The note file %1 could not be renamed to %2, so the notes could not be stored.</source>
        <translation>Die Notizdatei %1 konnte nicht in %2 umbenannt werden, daher konnten die Notizen nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>The note file %1 could not be put in place: %2.
It is completed at the next store or start.</source>
        <translation>Die Notizdatei %1 konnte nicht an ihren Platz gelegt werden: %2.
Das wird beim nächsten Speichern oder Start nachgeholt.</translation>
    </message>
    <message>
        <source>The copy %1 of the damaged note file %2 could not be written: %3.</source>
        <translation>Die Kopie %1 der beschädigten Notizdatei %2 konnte nicht geschrieben werden: %3.</translation>
    </message>
</context>
<context>
    <name>NotesStore</name>
    <message>
        <source>Another program (a sync tool, say) put note files into the notes folder; they are shown as notes at the end of the board: %1.</source>
        <translation>Ein anderes Programm (etwa ein Sync-Programm) hat Notizdateien in den Notizordner gelegt; sie werden als Notizen am Ende der Tafel gezeigt: %1.</translation>
    </message>
    <message>
        <source>The deleted note &quot;%1&quot; could not be kept for restoring: %2</source>
        <translation>Die gelöschte Notiz „%1“ konnte nicht zum Wiederherstellen aufbewahrt werden: %2</translation>
    </message>
    <message>
        <source>The note &quot;%1&quot; is damaged (%2). It shows the text that could be read; its file stays as it is until a copy of it can be kept. %3</source>
        <translation>Die Notiz „%1“ ist beschädigt (%2). Sie zeigt den Text, der gelesen werden konnte; ihre Datei bleibt unverändert, bis eine Kopie davon aufbewahrt werden kann. %3</translation>
    </message>
    <message>
        <source>The note &quot;%1&quot; is damaged (%2). It shows the text that could be read; the file as it was is kept as %3.</source>
        <translation>Die Notiz „%1“ ist beschädigt (%2). Sie zeigt den Text, der gelesen werden konnte; die Datei bleibt, wie sie war, als %3 erhalten.</translation>
    </message>
    <message>
        <source>Another program (a sync tool, say) deleted the files of these notes, so they are no longer shown: %1. &quot;Restore Deleted Note&quot; brings them back.</source>
        <translation>Ein anderes Programm (etwa ein Sync-Programm) hat die Dateien dieser Notizen gelöscht; sie werden nicht mehr gezeigt: %1. „Gelöschte Notiz wiederherstellen“ holt sie zurück.</translation>
    </message>
</context>
<context>
    <name>ProgramFolderNotes</name>
    <message>
        <source>The notes could not be copied from %1 to %2: %3</source>
        <translation>Die Notizen konnten nicht von %1 nach %2 kopiert werden: %3</translation>
    </message>
    <message>
        <source>QelNotes cannot write to its own folder %1, so it keeps the notes in %2.</source>
        <translation>QelNotes kann nicht in seinen eigenen Ordner %1 schreiben und bewahrt die Notizen daher in %2 auf.</translation>
    </message>
    <message>
        <source>
%1 holds notes already: they are shown and kept. The notes in %2 were not copied; they stay where they are.</source>
        <translation>
%1 enthält bereits Notizen: Sie werden gezeigt und aufbewahrt. Die Notizen in %2 wurden nicht kopiert; sie bleiben, wo sie sind.</translation>
    </message>
    <message>
        <source>
The notes in %1 are not shown. Copy them to %2? The originals stay where they are.</source>
        <translation>
Die Notizen in %1 werden nicht gezeigt. Nach %2 kopieren? Die Originale bleiben, wo sie sind.</translation>
    </message>
    <message>
        <source>%1 could not be made</source>
        <translation>%1 konnte nicht angelegt werden</translation>
    </message>
    <message>
        <source>%1 could not be renamed</source>
        <translation>%1 konnte nicht umbenannt werden</translation>
    </message>
    <message>
        <source>%1 could not be moved to %2</source>
        <translation>%1 konnte nicht nach %2 verschoben werden</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Rich Text File (*.rtf)</source>
        <translation>Rich-Text-Datei (*.rtf)</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>%1 cannot be opened: %2</source>
        <translation>%1 kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>%1 could be read only in part: %2</source>
        <translation>%1 konnte nur teilweise gelesen werden: %2</translation>
    </message>
    <message>
        <source>the file is larger than %1 MB.</source>
        <translation>die Datei ist größer als %1 MB.</translation>
    </message>
    <message>
        <source>it is neither a rich text nor a text file.</source>
        <translation>sie ist weder eine Rich-Text- noch eine Textdatei.</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Speichern unter</translation>
    </message>
    <message>
        <source>%1 cannot be saved: %2</source>
        <translation>%1 kann nicht gespeichert werden: %2</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Drucken</translation>
    </message>
    <message>
        <source>The note could not be printed on %1.</source>
        <translation>Die Notiz konnte nicht auf %1 gedruckt werden.</translation>
    </message>
    <message>
        <source>No mail program is set up on this desktop.</source>
        <translation>Auf diesem Desktop ist kein Mailprogramm eingerichtet.</translation>
    </message>
    <message>
        <source>The mail program may not be started.</source>
        <translation>Das Mailprogramm darf nicht gestartet werden.</translation>
    </message>
    <message>
        <source>The mail program failed (exit code %1).</source>
        <translation>Das Mailprogramm ist fehlgeschlagen (Exit-Code %1).</translation>
    </message>
    <message>
        <source>Pictures (%1)</source>
        <translation>Bilder (%1)</translation>
    </message>
</context>
<context>
    <name>SettingsFile</name>
    <message>
        <source>Unable to write to %1</source>
        <translation>%1 kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>: it could not be read (%1)</source>
        <translation>: sie konnte nicht gelesen werden (%1)</translation>
    </message>
</context>
<context>
    <name>SpellMarks</name>
    <message>
        <source>No Suggestions</source>
        <translation>Keine Vorschläge</translation>
    </message>
    <message>
        <source>Add to Dictionary</source>
        <translation>Zum Wörterbuch hinzufügen</translation>
    </message>
    <message>
        <source>Spell Check</source>
        <translation>Rechtschreibprüfung</translation>
    </message>
</context>
<context>
    <name>SystemMailComposer</name>
    <message>
        <source>The note is too long to be handed to the mail program: it takes %1 characters as a mail address, and at most %2 fit.</source>
        <translation>Die Notiz ist zu lang für das Mailprogramm: Als Mailadresse braucht sie %1 Zeichen, und höchstens %2 passen.</translation>
    </message>
    <message>
        <source>No program for mail addresses is set up on this desktop.</source>
        <translation>Auf diesem Desktop ist kein Programm für Mailadressen eingerichtet.</translation>
    </message>
</context>
<context>
    <name>TDM</name>
    <message>
        <source>Big</source>
        <translation>Groß</translation>
    </message>
    <message>
        <source>Send Mail ...</source>
        <translation>Mail senden ...</translation>
    </message>
    <message>
        <source>Send Note ..</source>
        <translation>Notiz senden ..</translation>
    </message>
    <message>
        <source>&amp;Browse URL</source>
        <translation>&amp;URL öffnen</translation>
    </message>
    <message>
        <source>Browse URL</source>
        <translation>URL öffnen</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Ausschneiden</translation>
    </message>
    <message>
        <source>Cut|Cuts the selection and puts it on the Clipboard</source>
        <translation>Ausschneiden|Schneidet die Auswahl aus und legt sie in die Zwischenablage</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>Copy|Copies the selection and puts it on the Clipboard</source>
        <translation>Kopieren|Kopiert die Auswahl in die Zwischenablage</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>E&amp;infügen</translation>
    </message>
    <message>
        <source>Paste|Inserts Clipboard contents</source>
        <translation>Einfügen|Fügt den Inhalt der Zwischenablage ein</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>&amp;Alles markieren</translation>
    </message>
    <message>
        <source>Select All|Selects the entire document</source>
        <translation>Alles markieren|Markiert das gesamte Dokument</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>Undo|Reverts the last action</source>
        <translation>Rückgängig|Macht die letzte Aktion rückgängig</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <source>Redo|Makes the last undone action again</source>
        <translation>Wiederholen|Führt die zuletzt rückgängig gemachte Aktion wieder aus</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>Delete|Erases the selection</source>
        <translation>Löschen|Löscht die Auswahl</translation>
    </message>
    <message>
        <source>&amp;Bold</source>
        <translation>&amp;Fett</translation>
    </message>
    <message>
        <source>Bold</source>
        <translation>Fett</translation>
    </message>
    <message>
        <source>&amp;Italic</source>
        <translation>&amp;Kursiv</translation>
    </message>
    <message>
        <source>Italic</source>
        <translation>Kursiv</translation>
    </message>
    <message>
        <source>&amp;Underline</source>
        <translation>&amp;Unterstrichen</translation>
    </message>
    <message>
        <source>Underline</source>
        <translation>Unterstrichen</translation>
    </message>
    <message>
        <source>&amp;Strikeout</source>
        <translation>&amp;Durchgestrichen</translation>
    </message>
    <message>
        <source>Strikeout</source>
        <translation>Durchgestrichen</translation>
    </message>
    <message>
        <source>&amp;Bullets</source>
        <translation>&amp;Aufzählung</translation>
    </message>
    <message>
        <source>Bullets|Inserts a bullet on the current line</source>
        <translation>Aufzählung|Setzt einen Aufzählungspunkt in die aktuelle Zeile</translation>
    </message>
    <message>
        <source>Align &amp;Left</source>
        <translation>&amp;Linksbündig</translation>
    </message>
    <message>
        <source>Align Left|Aligns text at the left indent</source>
        <translation>Linksbündig|Richtet den Text am linken Einzug aus</translation>
    </message>
    <message>
        <source>Align &amp;Right</source>
        <translation>&amp;Rechtsbündig</translation>
    </message>
    <message>
        <source>Align Right|Aligns text at the right indent</source>
        <translation>Rechtsbündig|Richtet den Text am rechten Einzug aus</translation>
    </message>
    <message>
        <source>&amp;Center</source>
        <translation>&amp;Zentriert</translation>
    </message>
    <message>
        <source>Center|Centers text between margins</source>
        <translation>Zentriert|Zentriert den Text zwischen den Rändern</translation>
    </message>
    <message>
        <source>&amp;Print...</source>
        <translation>&amp;Drucken...</translation>
    </message>
    <message>
        <source>O&amp;pen...</source>
        <translation>Ö&amp;ffnen...</translation>
    </message>
    <message>
        <source>Open|Open existing File</source>
        <translation>Öffnen|Öffnet eine vorhandene Datei</translation>
    </message>
    <message>
        <source>Save...</source>
        <translation>Speichern...</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>Speichern &amp;unter...</translation>
    </message>
    <message>
        <source>Save As|Saves the active file with a new name</source>
        <translation>Speichern unter|Speichert die Datei unter einem neuen Namen</translation>
    </message>
    <message>
        <source>Increase</source>
        <translation>Vergrößern</translation>
    </message>
    <message>
        <source>Decrease</source>
        <translation>Verkleinern</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>Small</source>
        <translation>Klein</translation>
    </message>
    <message>
        <source>Bigger</source>
        <translation>Größer</translation>
    </message>
    <message>
        <source>Smaller</source>
        <translation>Kleiner</translation>
    </message>
    <message>
        <source>Set Font..</source>
        <translation>Schrift..</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rot</translation>
    </message>
    <message>
        <source>Yellow</source>
        <translation>Gelb</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Blau</translation>
    </message>
    <message>
        <source>Set Color ..</source>
        <translation>Farbe ..</translation>
    </message>
    <message>
        <source>Reset Color</source>
        <translation>Farbe zurücksetzen</translation>
    </message>
    <message>
        <source>&amp;Cut</source>
        <translation>&amp;Ausschneiden</translation>
    </message>
    <message>
        <source>Ausschneiden|Markiertes Objekt in die Zwischenablage verschieben</source>
        <translation>Ausschneiden|Markiertes Objekt in die Zwischenablage verschieben</translation>
    </message>
    <message>
        <source>Kopieren|Markiertes Objekt in die Zwischenablage kopieren</source>
        <translation>Kopieren|Markiertes Objekt in die Zwischenablage kopieren</translation>
    </message>
    <message>
        <source>Einfügen|Inhalt der Zwischenablage einfügen</source>
        <translation>Einfügen|Inhalt der Zwischenablage einfügen</translation>
    </message>
    <message>
        <source>Select &amp;all</source>
        <translation>&amp;Alles markieren</translation>
    </message>
    <message>
        <source>Alles markieren|Markiert das gesamte Dokument</source>
        <translation>Alles markieren|Markiert das gesamte Dokument</translation>
    </message>
    <message>
        <source>Rückgängig|Letzte Aktion rückgängig machen</source>
        <translation>Rückgängig|Letzte Aktion rückgängig machen</translation>
    </message>
    <message>
        <source>Löschen|Auswahl löschen</source>
        <translation>Löschen|Auswahl löschen</translation>
    </message>
    <message>
        <source>SendNote</source>
        <translation>Notiz senden</translation>
    </message>
    <message>
        <source>JvWebAction1</source>
        <translation>Web öffnen</translation>
    </message>
    <message>
        <source>&amp;URL durchsuchen</source>
        <translation>&amp;URL durchsuchen</translation>
    </message>
    <message>
        <source>URL durchsuchen</source>
        <translation>URL durchsuchen</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>Insert &amp;Object</source>
        <translation>&amp;Objekt einfügen</translation>
    </message>
    <message>
        <source>Cal&amp;c</source>
        <translation>&amp;Rechnen</translation>
    </message>
    <message>
        <source>Calc</source>
        <translation>Rechnen</translation>
    </message>
    <message>
        <source>SubScript</source>
        <translation>Tiefgestellt</translation>
    </message>
    <message>
        <source>SuperScript</source>
        <translation>Hochgestellt</translation>
    </message>
    <message>
        <source>Clear Results</source>
        <translation>Ergebnisse löschen</translation>
    </message>
    <message>
        <source>New</source>
        <translation>Neu</translation>
    </message>
    <message>
        <source>Crypt</source>
        <translation>Verschlüsseln</translation>
    </message>
    <message>
        <source>Crypt Selection</source>
        <translation>Auswahl verschlüsseln</translation>
    </message>
    <message>
        <source>Decrypt</source>
        <translation>Entschlüsseln</translation>
    </message>
    <message>
        <source>Decrypt Selection</source>
        <translation>Auswahl entschlüsseln</translation>
    </message>
    <message>
        <source>Tables</source>
        <translation>Tabellen</translation>
    </message>
    <message>
        <source>Copy Format</source>
        <translation>Format übertragen</translation>
    </message>
    <message>
        <source>acInsertImage</source>
        <translation>Bild einfügen</translation>
    </message>
    <message>
        <source>Auto Mouse</source>
        <translation>Auto-Maus</translation>
    </message>
    <message>
        <source>Clear Master Password</source>
        <translation>Master-Passwort vergessen</translation>
    </message>
    <message>
        <source>Create Password</source>
        <translation>Passwort erzeugen</translation>
    </message>
</context>
<context>
    <name>TFrmAbout</name>
    <message>
        <source>About QelNotes</source>
        <translation>Über QelNotes</translation>
    </message>
    <message>
        <source>Notes are kept in %1</source>
        <translation>Die Notizen liegen in %1</translation>
    </message>
    <message>
        <source>Notes cannot be kept: %1 is not writable.</source>
        <translation>Notizen können nicht gespeichert werden: %1 ist nicht beschreibbar.</translation>
    </message>
    <message>
        <source>QelNotes Version %1</source>
        <translation>QelNotes Version %1</translation>
    </message>
</context>
<context>
    <name>TFrmNote</name>
    <message>
        <source>New</source>
        <translation>Neu</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Desktop</source>
        <translation>Desktop</translation>
    </message>
    <message>
        <source>Startup</source>
        <translation>Autostart</translation>
    </message>
    <message>
        <source>QelClock at startup</source>
        <translation>Beim Anmelden starten</translation>
    </message>
    <message>
        <source>Stay On top</source>
        <translation>Immer im Vordergrund</translation>
    </message>
    <message>
        <source>Show Hint</source>
        <translation>Vorschau zeigen</translation>
    </message>
    <message>
        <source>About...</source>
        <translation>Über...</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Restore Deleted Note</source>
        <translation>Gelöschte Notiz wiederherstellen</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>&amp;Alles markieren</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>Speichern &amp;unter...</translation>
    </message>
    <message>
        <source>(none)</source>
        <translation>(keine)</translation>
    </message>
    <message>
        <source>Qel Notes — notes: %1</source>
        <translation>Qel Notes — Notizen: %1</translation>
    </message>
    <message>
        <source>Qel Notes — notes shown: %1 of %2</source>
        <translation>Qel Notes — angezeigte Notizen: %1 von %2</translation>
    </message>
</context>
<context>
    <name>TJvRichEdit</name>
    <message>
        <source>Insert Object</source>
        <translation>Objekt einfügen</translation>
    </message>
    <message>
        <source>%1 cannot be inserted: %2</source>
        <translation>%1 kann nicht eingefügt werden: %2</translation>
    </message>
</context>
<context>
    <name>TNoteFrame</name>
    <message>
        <source>Do you want to delete following note?<byte value="xd"/>
<byte value="xd"/>
%1</source>
        <translation>Soll diese Notiz gelöscht werden?<byte value="xd"/>
<byte value="xd"/>
%1</translation>
    </message>
</context>
<context>
    <name>TrayIcon</name>
    <message>
        <source>Tray Icon</source>
        <translation>Symbol im Infobereich</translation>
    </message>
</context>
<context>
    <name>WholeFile</name>
    <message>
        <source>it is larger than %1, the most a file of this kind may hold</source>
        <translation>sie ist größer als %1, das Höchstmaß für eine Datei dieser Art</translation>
    </message>
    <message>
        <source>it is a symbolic link</source>
        <translation>sie ist eine symbolische Verknüpfung</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>sie ist ein Ordner</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>sie ist keine gewöhnliche Datei</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>QelNotes is already running with the notes in %1.</source>
        <translation>QelNotes läuft bereits mit den Notizen in %1.</translation>
    </message>
    <message>
        <source>A notes board behind a small desktop icon. Started again, the program brings up the board of the copy that runs already.</source>
        <translation>Eine Notiztafel hinter einem kleinen Desktop-Symbol. Erneut gestartet, zeigt das Programm die Tafel der bereits laufenden Instanz.</translation>
    </message>
    <message>
        <source>Bring up the board, pinned, to type a filter.</source>
        <translation>Die Tafel angeheftet zeigen, um einen Filter zu tippen.</translation>
    </message>
    <message>
        <source>Open a new note.</source>
        <translation>Eine neue Notiz öffnen.</translation>
    </message>
</context>
</TS>
