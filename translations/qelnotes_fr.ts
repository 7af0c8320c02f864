<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>BoardFilter</name>
    <message>
        <source>Search notes</source>
        <translation>Rechercher des notes</translation>
    </message>
</context>
<context>
    <name>CryptCommands</name>
    <message>
        <source>No Text selected for Cryption</source>
        <translation>Aucun texte sélectionné à chiffrer</translation>
    </message>
    <message>
        <source>No Text selected for Decrypt, or no QelCrypt at startup.</source>
        <translation>Aucun texte sélectionné à déchiffrer, ou il ne commence pas par QelCrypt.</translation>
    </message>
    <message>
        <source>The selection holds a picture or an object, which cannot be encrypted.</source>
        <translation>La sélection contient une image ou un objet, qui ne peut pas être chiffré.</translation>
    </message>
    <message>
        <source>The encrypted text is damaged: the selection was not decrypted.</source>
        <translation>Le texte chiffré est endommagé : la sélection n’a pas été déchiffrée.</translation>
    </message>
    <message>
        <source>Wrong master password: the selection was not decrypted.</source>
        <translation>Mot de passe maître incorrect : la sélection n’a pas été déchiffrée.</translation>
    </message>
    <message>
        <source>The system&apos;s random source failed: no password was created.</source>
        <translation>La source aléatoire du système a échoué : aucun mot de passe n’a été créé.</translation>
    </message>
</context>
<context>
    <name>FindBar</name>
    <message>
        <source>Match case</source>
        <translation>Respecter la casse</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Rechercher</translation>
    </message>
    <message>
        <source>Previous match (Shift+F3)</source>
        <translation>Occurrence précédente (Maj+F3)</translation>
    </message>
    <message>
        <source>Next match (F3)</source>
        <translation>Occurrence suivante (F3)</translation>
    </message>
    <message>
        <source>Close (Esc)</source>
        <translation>Fermer (Échap)</translation>
    </message>
</context>
<context>
    <name>FontDialog</name>
    <message>
        <source>&amp;Colour...</source>
        <translation>&amp;Couleur...</translation>
    </message>
    <message>
        <source>Set Font</source>
        <translation>Choisir la police</translation>
    </message>
</context>
<context>
    <name>GlobalKeysDialog</name>
    <message>
        <source>Global Keys</source>
        <translation>Raccourcis globaux</translation>
    </message>
    <message>
        <source>These keys work while any program has the keyboard.</source>
        <translation>Ces touches fonctionnent quel que soit le programme qui a le clavier.</translation>
    </message>
    <message>
        <source>The two commands need different keys.</source>
        <translation>Les deux commandes ont besoin de touches différentes.</translation>
    </message>
</context>
<context>
    <name>GlobalShortcuts</name>
    <message>
        <source>Global Keys</source>
        <translation>Raccourcis globaux</translation>
    </message>
    <message>
        <source>Change Keys...</source>
        <translation>Modifier les touches...</translation>
    </message>
    <message>
        <source>Show Board</source>
        <translation>Afficher le tableau</translation>
    </message>
    <message>
        <source>New Note</source>
        <translation>Nouvelle note</translation>
    </message>
    <message>
        <source>The key %1 for &quot;%2&quot; is held by another program. Choose another key in the board&apos;s menu under &quot;Global Keys&quot;.</source>
        <translation>La touche %1 pour « %2 » est prise par un autre programme. Choisissez-en une autre dans le menu du tableau, sous « Raccourcis globaux ».</translation>
    </message>
    <message>
        <source>The key %1 for &quot;%2&quot; is not on this keyboard.</source>
        <translation>La touche %1 pour « %2 » n’existe pas sur ce clavier.</translation>
    </message>
    <message>
        <source>none</source>
        <translation>aucune</translation>
    </message>
    <message>
        <source>%1 (not available)</source>
        <translation>%1 (indisponible)</translation>
    </message>
</context>
<context>
    <name>InstanceLock</name>
    <message>
        <source>Cannot create the lock file %1</source>
        <translation>Impossible de créer le fichier de verrou %1</translation>
    </message>
</context>
<context>
    <name>LinkCommands</name>
    <message>
        <source>The mail could not be handed to the mail program.
%1</source>
        <translation>Le courriel n’a pas pu être transmis au logiciel de messagerie.
%1</translation>
    </message>
</context>
<context>
    <name>MasterPasswordPrompt</name>
    <message>
        <source>&amp;Show password</source>
        <translation>&amp;Afficher le mot de passe</translation>
    </message>
    <message>
        <source>Master Password</source>
        <translation>Mot de passe maître</translation>
    </message>
    <message>
        <source>Please Enter Master Password</source>
        <translation>Veuillez saisir le mot de passe maître</translation>
    </message>
</context>
<context>
    <name>NoteEditorPane</name>
    <message>
        <source>Align</source>
        <translation>Aligner</translation>
    </message>
    <message>
        <source>Format</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Taille</translation>
    </message>
    <message>
        <source>Indent</source>
        <translation>Retrait</translation>
    </message>
    <message>
        <source>BK Color</source>
        <translation>Couleur de fond</translation>
    </message>
    <message>
        <source>Calc</source>
        <translation>Calcul</translation>
    </message>
    <message>
        <source>Clear Results</source>
        <translation>Effacer les résultats</translation>
    </message>
    <message>
        <source>Send Note</source>
        <translation>Envoyer la note</translation>
    </message>
    <message>
        <source>Find...</source>
        <translation>Rechercher...</translation>
    </message>
    <message>
        <source>Spell Check</source>
        <translation>Vérification orthographique</translation>
    </message>
    <message>
        <source>Spelling Language</source>
        <translation>Langue de vérification</translation>
    </message>
    <message>
        <source>Encryption</source>
        <translation>Chiffrement</translation>
    </message>
</context>
<context>
    <name>NoteStorage</name>
    <message>
        <source>An unfinished store of the notes did not match the note files and was not completed. The notes are shown as the files hold them.</source>
        <translation>Un enregistrement inachevé des notes ne correspondait pas aux fichiers de notes et n’a pas été terminé. Les notes sont affichées telles que les fichiers les contiennent.</translation>
    </message>
    <message>
        <source>The note file %1 could not be read (%2). The note is not shown; the file is kept in its folder under a name beginning with &quot;QelNotes_unreadable_&quot;.</source>
        <translation>Le fichier de note %1 n’a pas pu être lu (%2). La note n’est pas affichée ; le fichier est conservé dans son dossier sous un nom commençant par « QelNotes_unreadable_ ».</translation>
    </message>
    <message>
        <source>The note file %1 is not shown: the note files before it are not numbered without a gap from 0. It is kept in its folder under a name beginning with &quot;QelNotes_unloaded_&quot;.</source>
        <translation>Le fichier de note %1 n’est pas affiché : les fichiers de notes qui le précèdent ne sont pas numérotés sans trou à partir de 0. Il est conservé dans son dossier sous un nom commençant par « QelNotes_unloaded_ ».</translation>
    </message>
    <message>
        <source>The note file %1 is a copy kept of a note that was changed in two places (by a sync tool or by this program). It is shown as a note of its own at the end of the board, and stored with the other notes from now on.</source>
        <translation>Le fichier de note %1 est la copie conservée d’une note modifiée à deux endroits (par un outil de synchronisation ou par ce programme). Elle est affichée comme une note à part en bas du tableau, et enregistrée désormais avec les autres notes.</translation>
    </message>
    <message>
        <source>The notes could not be stored: the files changed while they were written.
The notes stored before are kept.</source>
        <translation>Les notes n’ont pas pu être enregistrées : les fichiers ont changé pendant l’écriture.
Les notes enregistrées auparavant sont conservées.</translation>
    </message>
    <message>
        <source>The note file %1 was changed by another program after it was read here. The note as shown here is stored; the other text is kept as %2 and is shown as a note of its own.</source>
        <translation>Le fichier de note %1 a été modifié par un autre programme après avoir été lu ici. La note est enregistrée telle qu’elle est affichée ici ; l’autre texte est conservé sous %2 et affiché comme une note à part.</translation>
    </message>
    <message>
        <source>The note file %1 was made by another program after the notes were read here. It is kept as %2 and is shown as a note of its own.</source>
        <translation>Le fichier de note %1 a été créé par un autre programme après la lecture des notes ici. Il est conservé sous %2 et affiché comme une note à part.</translation>
    </message>
    <message>
        <source>The note file %1 was made or changed by another program after the notes were read here. It is kept and is shown as a note of its own.</source>
        <translation>Le fichier de note %1 a été créé ou modifié par un autre programme après la lecture des notes ici. Il est conservé et affiché comme une note à part.</translation>
    </message>
    <message>
        <source>it reads back differently</source>
        <translation>sa relecture diffère</translation>
    </message>
    <message>
        <source>The notes could not be stored: %1: %2.
The notes stored before are kept.</source>
        <translation>Les notes n’ont pas pu être enregistrées : %1 : %2.
Les notes enregistrées auparavant sont conservées.</translation>
    </message>
    <message>
        <source>The note&apos;s file number is not known; all notes have to be stored.</source>
        <translation>Le numéro de fichier de la note est inconnu ; toutes les notes doivent être enregistrées.</translation>
    </message>
    <message>
        <source>The note could not be stored: %1 was changed by another program and its text could not be kept as %2: %3.
Both texts are kept.</source>
        <translation>La note n’a pas pu être enregistrée : %1 a été modifié par un autre programme et son texte n’a pas pu être conservé sous %2 : %3.
Les deux textes sont conservés.</translation>
    </message>
    <message>
        <source>The note could not be stored: %1: %2.
The note stored before is kept.</source>
        <translation>La note n’a pas pu être enregistrée : %1 : %2.
La note enregistrée auparavant est conservée.</translation>
    </message>
    <message>
        <source>The note file %1 could not be renamed to %2, so the notes could not be stored.</source>
        <translation>Le fichier de note %1 n’a pas pu être renommé en %2 : les notes n’ont donc pas pu être enregistrées.</translation>
    </message>
    <message>
        <source>The note file %1 could not be put in place: %2.
It is completed at the next store or start.</source>
        <translation>Le fichier de note %1 n’a pas pu être mis en place : %2.
Cela sera terminé au prochain enregistrement ou démarrage.</translation>
    </message>
    <message>
        <source>The copy %1 of the damaged note file %2 could not be written: %3.</source>
        <translation>La copie %1 du fichier de note endommagé %2 n’a pas pu être écrite : %3.</translation>
    </message>
</context>
<context>
    <name>NotesStore</name>
    <message>
        <source>Another program (a sync tool, say) put note files into the notes folder; they are shown as notes at the end of the board: %1.</source>
        <translation>Un autre programme (un outil de synchronisation, par exemple) a placé des fichiers de notes dans le dossier des notes ; ils sont affichés comme notes en bas du tableau : %1.</translation>
    </message>
    <message>
        <source>The deleted note &quot;%1&quot; could not be kept for restoring: %2</source>
        <translation>La note supprimée « %1 » n’a pas pu être conservée pour la restauration : %2</translation>
    </message>
    <message>
        <source>The note &quot;%1&quot; is damaged (%2). It shows the text that could be read; its file stays as it is until a copy of it can be kept. %3</source>
        <translation>La note « %1 » est endommagée (%2). Elle affiche le texte qui a pu être lu ; son fichier reste tel quel jusqu’à ce qu’une copie puisse en être conservée. %3</translation>
    </message>
    <message>
        <source>The note &quot;%1&quot; is damaged (%2). It shows the text that could be read; the file as it was is kept as %3.</source>
        <translation>La note « %1 » est endommagée (%2). Elle affiche le texte qui a pu être lu ; le fichier d’origine est conservé sous %3.</translation>
    </message>
    <message>
        <source>Another program (a sync tool, say) deleted the files of these notes, so they are no longer shown: %1. &quot;Restore Deleted Note&quot; brings them back.</source>
        <translation>Un autre programme (un outil de synchronisation, par exemple) a supprimé les fichiers de ces notes ; elles ne sont plus affichées : %1. « Restaurer une note supprimée » les ramène.</translation>
    </message>
</context>
<context>
    <name>ProgramFolderNotes</name>
    <message>
        <source>The notes could not be copied from %1 to %2: %3</source>
        <translation>Les notes n’ont pas pu être copiées de %1 vers %2 : %3</translation>
    </message>
    <message>
        <source>QelNotes cannot write to its own folder %1, so it keeps the notes in %2.</source>
        <translation>QelNotes ne peut pas écrire dans son propre dossier %1 ; il conserve donc les notes dans %2.</translation>
    </message>
    <message>
        <source>
%1 holds notes already: they are shown and kept. The notes in %2 were not copied; they stay where they are.</source>
        <translation>
%1 contient déjà des notes : elles sont affichées et conservées. Les notes de %2 n’ont pas été copiées ; elles restent où elles sont.</translation>
    </message>
    <message>
        <source>
The notes in %1 are not shown. Copy them to %2? The originals stay where they are.</source>
        <translation>
Les notes de %1 ne sont pas affichées. Les copier vers %2 ? Les originaux restent où ils sont.</translation>
    </message>
    <message>
        <source>%1 could not be made</source>
        <translation>%1 n’a pas pu être créé</translation>
    </message>
    <message>
        <source>%1 could not be renamed</source>
        <translation>%1 n’a pas pu être renommé</translation>
    </message>
    <message>
        <source>%1 could not be moved to %2</source>
        <translation>%1 n’a pas pu être déplacé vers %2</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Rich Text File (*.rtf)</source>
        <translation>Fichier texte enrichi (*.rtf)</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>Tous les fichiers (*)</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
    <message>
        <source>%1 cannot be opened: %2</source>
        <translation>Impossible d’ouvrir %1 : %2</translation>
    </message>
    <message>
        <source>%1 could be read only in part: %2</source>
        <translation>%1 n’a pu être lu qu’en partie : %2</translation>
    </message>
    <message>
        <source>the file is larger than %1 MB.</source>
        <translation>le fichier dépasse %1 Mo.</translation>
    </message>
    <message>
        <source>it is neither a rich text nor a text file.</source>
        <translation>ce n’est ni un fichier texte enrichi ni un fichier texte.</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Enregistrer sous</translation>
    </message>
    <message>
        <source>%1 cannot be saved: %2</source>
        <translation>Impossible d’enregistrer %1 : %2</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Imprimer</translation>
    </message>
    <message>
        <source>The note could not be printed on %1.</source>
        <translation>La note n’a pas pu être imprimée sur %1.</translation>
    </message>
    <message>
        <source>No mail program is set up on this desktop.</source>
        <translation>Aucun logiciel de messagerie n’est configuré sur ce bureau.</translation>
    </message>
    <message>
        <source>The mail program may not be started.</source>
        <translation>Le logiciel de messagerie ne peut pas être lancé.</translation>
    </message>
    <message>
        <source>The mail program failed (exit code %1).</source>
        <translation>Le logiciel de messagerie a échoué (code de sortie %1).</translation>
    </message>
    <message>
        <source>Pictures (%1)</source>
        <translation>Images (%1)</translation>
    </message>
</context>
<context>
    <name>SettingsFile</name>
    <message>
        <source>Unable to write to %1</source>
        <translation>Impossible d’écrire dans %1</translation>
    </message>
    <message>
        <source>: it could not be read (%1)</source>
        <translation> : il n’a pas pu être lu (%1)</translation>
    </message>
</context>
<context>
    <name>SpellMarks</name>
    <message>
        <source>No Suggestions</source>
        <translation>Aucune suggestion</translation>
    </message>
    <message>
        <source>Add to Dictionary</source>
        <translation>Ajouter au dictionnaire</translation>
    </message>
    <message>
        <source>Spell Check</source>
        <translation>Vérification orthographique</translation>
    </message>
</context>
<context>
    <name>SystemMailComposer</name>
    <message>
        <source>The note is too long to be handed to the mail program: it takes %1 characters as a mail address, and at most %2 fit.</source>
        <translation>La note est trop longue pour le logiciel de messagerie : sous forme d’adresse, elle occupe %1 caractères, et %2 au plus sont possibles.</translation>
    </message>
    <message>
        <source>No program for mail addresses is set up on this desktop.</source>
        <translation>Aucun programme pour les adresses de courriel n’est configuré sur ce bureau.</translation>
    </message>
</context>
<context>
    <name>TDM</name>
    <message>
        <source>Big</source>
        <translation>Grand</translation>
    </message>
    <message>
        <source>Send Mail ...</source>
        <translation>Envoyer un courriel ...</translation>
    </message>
    <message>
        <source>Send Note ..</source>
        <translation>Envoyer la note ..</translation>
    </message>
    <message>
        <source>&amp;Browse URL</source>
        <translation>Ouvrir l’&amp;URL</translation>
    </message>
    <message>
        <source>Browse URL</source>
        <translation>Ouvrir l’URL</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Couper</translation>
    </message>
    <message>
        <source>Cut|Cuts the selection and puts it on the Clipboard</source>
        <translation>Couper|Coupe la sélection et la place dans le presse-papiers</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>Co&amp;pier</translation>
    </message>
    <message>
        <source>Copy|Copies the selection and puts it on the Clipboard</source>
        <translation>Copier|Copie la sélection dans le presse-papiers</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>C&amp;oller</translation>
    </message>
    <message>
        <source>Paste|Inserts Clipboard contents</source>
        <translation>Coller|Insère le contenu du presse-papiers</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>&amp;Tout sélectionner</translation>
    </message>
    <message>
        <source>Select All|Selects the entire document</source>
        <translation>Tout sélectionner|Sélectionne tout le document</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Annuler</translation>
    </message>
    <message>
        <source>Undo|Reverts the last action</source>
        <translation>Annuler|Annule la dernière action</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Rétablir</translation>
    </message>
    <message>
        <source>Redo|Makes the last undone action again</source>
        <translation>Rétablir|Refait la dernière action annulée</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Supprimer</translation>
    </message>
    <message>
        <source>Delete|Erases the selection</source>
        <translation>Supprimer|Efface la sélection</translation>
    </message>
    <message>
        <source>&amp;Bold</source>
        <translation>&amp;Gras</translation>
    </message>
    <message>
        <source>Bold</source>
        <translation>Gras</translation>
    </message>
    <message>
        <source>&amp;Italic</source>
        <translation>&amp;Italique</translation>
    </message>
    <message>
        <source>Italic</source>
        <translation>Italique</translation>
    </message>
    <message>
        <source>&amp;Underline</source>
        <translation>&amp;Souligné</translation>
    </message>
    <message>
        <source>Underline</source>
        <translation>Souligné</translation>
    </message>
    <message>
        <source>&amp;Strikeout</source>
        <translation>&amp;Barré</translation>
    </message>
    <message>
        <source>Strikeout</source>
        <translation>Barré</translation>
    </message>
    <message>
        <source>&amp;Bullets</source>
        <translation>&amp;Puces</translation>
    </message>
    <message>
        <source>Bullets|Inserts a bullet on the current line</source>
        <translation>Puces|Insère une puce sur la ligne courante</translation>
    </message>
    <message>
        <source>Align &amp;Left</source>
        <translation>Aligner à &amp;gauche</translation>
    </message>
    <message>
        <source>Align Left|Aligns text at the left indent</source>
        <translation>Aligner à gauche|Aligne le texte sur le retrait gauche</translation>
    </message>
    <message>
        <source>Align &amp;Right</source>
        <translation>Aligner à &amp;droite</translation>
    </message>
    <message>
        <source>Align Right|Aligns text at the right indent</source>
        <translation>Aligner à droite|Aligne le texte sur le retrait droit</translation>
    </message>
    <message>
        <source>&amp;Center</source>
        <translation>&amp;Centrer</translation>
    </message>
    <message>
        <source>Center|Centers text between margins</source>
        <translation>Centrer|Centre le texte entre les marges</translation>
    </message>
    <message>
        <source>&amp;Print...</source>
        <translation>&amp;Imprimer...</translation>
    </message>
    <message>
        <source>O&amp;pen...</source>
        <translation>&amp;Ouvrir...</translation>
    </message>
    <message>
        <source>Open|Open existing File</source>
        <translation>Ouvrir|Ouvre un fichier existant</translation>
    </message>
    <message>
        <source>Save...</source>
        <translation>Enregistrer...</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>Enregistrer &amp;sous...</translation>
    </message>
    <message>
        <source>Save As|Saves the active file with a new name</source>
        <translation>Enregistrer sous|Enregistre le fichier sous un nouveau nom</translation>
    </message>
    <message>
        <source>Increase</source>
        <translation>Augmenter</translation>
    </message>
    <message>
        <source>Decrease</source>
        <translation>Diminuer</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>Small</source>
        <translation>Petit</translation>
    </message>
    <message>
        <source>Bigger</source>
        <translation>Plus grand</translation>
    </message>
    <message>
        <source>Smaller</source>
        <translation>Plus petit</translation>
    </message>
    <message>
        <source>Set Font..</source>
        <translation>Police..</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rouge</translation>
    </message>
    <message>
        <source>Yellow</source>
        <translation>Jaune</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Bleu</translation>
    </message>
    <message>
        <source>Set Color ..</source>
        <translation>Couleur ..</translation>
    </message>
    <message>
        <source>Reset Color</source>
        <translation>Réinitialiser la couleur</translation>
    </message>
    <message>
        <source>&amp;Cut</source>
        <translation>&amp;Couper</translation>
    </message>
    <message>
        <source>Ausschneiden|Markiertes Objekt in die Zwischenablage verschieben</source>
        <translation>Couper|Déplace l’objet sélectionné dans le presse-papiers</translation>
    </message>
    <message>
        <source>Kopieren|Markiertes Objekt in die Zwischenablage kopieren</source>
        <translation>Copier|Copie l’objet sélectionné dans le presse-papiers</translation>
    </message>
    <message>
        <source>Einfügen|Inhalt der Zwischenablage einfügen</source>
        <translation>Coller|Insère le contenu du presse-papiers</translation>
    </message>
    <message>
        <source>Select &amp;all</source>
        <translation>&amp;Tout sélectionner</translation>
    </message>
    <message>
        <source>Alles markieren|Markiert das gesamte Dokument</source>
        <translation>Tout sélectionner|Sélectionne tout le document</translation>
    </message>
    <message>
        <source>Rückgängig|Letzte Aktion rückgängig machen</source>
        <translation>Annuler|Annule la dernière action</translation>
    </message>
    <message>
        <source>Löschen|Auswahl löschen</source>
        <translation>Supprimer|Efface la sélection</translation>
    </message>
    <message>
        <source>SendNote</source>
        <translation>Envoyer la note</translation>
    </message>
    <message>
        <source>JvWebAction1</source>
        <translation>Ouvrir le Web</translation>
    </message>
    <message>
        <source>&amp;URL durchsuchen</source>
        <translation>Parcourir l’&amp;URL</translation>
    </message>
    <message>
        <source>URL durchsuchen</source>
        <translation>Parcourir l’URL</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Réinitialiser</translation>
    </message>
    <message>
        <source>Insert &amp;Object</source>
        <translation>Insérer un &amp;objet</translation>
    </message>
    <message>
        <source>Cal&amp;c</source>
        <translation>&amp;Calculer</translation>
    </message>
    <message>
        <source>Calc</source>
        <translation>Calculer</translation>
    </message>
    <message>
        <source>SubScript</source>
        <translation>Indice</translation>
    </message>
    <message>
        <source>SuperScript</source>
        <translation>Exposant</translation>
    </message>
    <message>
        <source>Clear Results</source>
        <translation>Effacer les résultats</translation>
    </message>
    <message>
        <source>New</source>
        <translation>Nouveau</translation>
    </message>
    <message>
        <source>Crypt</source>
        <translation>Chiffrer</translation>
    </message>
    <message>
        <source>Crypt Selection</source>
        <translation>Chiffrer la sélection</translation>
    </message>
    <message>
        <source>Decrypt</source>
        <translation>Déchiffrer</translation>
    </message>
    <message>
        <source>Decrypt Selection</source>
        <translation>Déchiffrer la sélection</translation>
    </message>
    <message>
        <source>Tables</source>
        <translation>Tableaux</translation>
    </message>
    <message>
        <source>Copy Format</source>
        <translation>Reproduire la mise en forme</translation>
    </message>
    <message>
        <source>acInsertImage</source>
        <translation>Insérer une image</translation>
    </message>
    <message>
        <source>Auto Mouse</source>
        <translation>Souris automatique</translation>
    </message>
    <message>
        <source>Clear Master Password</source>
        <translation>Oublier le mot de passe maître</translation>
    </message>
    <message>
        <source>Create Password</source>
        <translation>Créer un mot de passe</translation>
    </message>
</context>
<context>
    <name>TFrmAbout</name>
    <message>
        <source>About QelNotes</source>
        <translation>À propos de QelNotes</translation>
    </message>
    <message>
        <source>Notes are kept in %1</source>
        <translation>Les notes sont conservées dans %1</translation>
    </message>
    <message>
        <source>Notes cannot be kept: %1 is not writable.</source>
        <translation>Les notes ne peuvent pas être conservées : %1 n’est pas accessible en écriture.</translation>
    </message>
    <message>
        <source>QelNotes Version %1</source>
        <translation>QelNotes version %1</translation>
    </message>
</context>
<context>
    <name>TFrmNote</name>
    <message>
        <source>New</source>
        <translation>Nouveau</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
    <message>
        <source>Desktop</source>
        <translation>Bureau</translation>
    </message>
    <message>
        <source>Startup</source>
        <translation>Démarrage</translation>
    </message>
    <message>
        <source>QelClock at startup</source>
        <translation>Lancer à l’ouverture de session</translation>
    </message>
    <message>
        <source>Stay On top</source>
        <translation>Toujours au premier plan</translation>
    </message>
    <message>
        <source>Show Hint</source>
        <translation>Afficher l’aperçu</translation>
    </message>
    <message>
        <source>About...</source>
        <translation>À propos...</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Restore Deleted Note</source>
        <translation>Restaurer une note supprimée</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>&amp;Tout sélectionner</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>Enregistrer &amp;sous...</translation>
    </message>
    <message>
        <source>(none)</source>
        <translation>(aucune)</translation>
    </message>
    <message>
        <source>Qel Notes — notes: %1</source>
        <translation>Qel Notes — notes : %1</translation>
    </message>
    <message>
        <source>Qel Notes — notes shown: %1 of %2</source>
        <translation>Qel Notes — notes affichées : %1 sur %2</translation>
    </message>
</context>
<context>
    <name>TJvRichEdit</name>
    <message>
        <source>Insert Object</source>
        <translation>Insérer un objet</translation>
    </message>
    <message>
        <source>%1 cannot be inserted: %2</source>
        <translation>Impossible d’insérer %1 : %2</translation>
    </message>
</context>
<context>
    <name>TNoteFrame</name>
    <message>
        <source>Do you want to delete following note?<byte value="xd"/>
<byte value="xd"/>
%1</source>
        <translation>Voulez-vous supprimer cette note ?<byte value="xd"/>
<byte value="xd"/>
%1</translation>
    </message>
</context>
<context>
    <name>TrayIcon</name>
    <message>
        <source>Tray Icon</source>
        <translation>Icône dans la zone de notification</translation>
    </message>
</context>
<context>
    <name>WholeFile</name>
    <message>
        <source>it is larger than %1, the most a file of this kind may hold</source>
        <translation>il dépasse %1, la taille maximale pour un fichier de ce type</translation>
    </message>
    <message>
        <source>it is a symbolic link</source>
        <translation>c’est un lien symbolique</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>c’est un dossier</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>ce n’est pas un fichier ordinaire</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>QelNotes is already running with the notes in %1.</source>
        <translation>QelNotes est déjà lancé avec les notes de %1.</translation>
    </message>
    <message>
        <source>A notes board behind a small desktop icon. Started again, the program brings up the board of the copy that runs already.</source>
        <translation>Un tableau de notes derrière une petite icône de bureau. Lancé une seconde fois, le programme affiche le tableau de l’instance déjà en cours.</translation>
    </message>
    <message>
        <source>Bring up the board, pinned, to type a filter.</source>
        <translation>Afficher le tableau, épinglé, pour saisir un filtre.</translation>
    </message>
    <message>
        <source>Open a new note.</source>
        <translation>Ouvrir une nouvelle note.</translation>
    </message>
</context>
</TS>
