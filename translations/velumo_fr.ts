<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>AboutForm</name>
    <message>
        <source>About</source>
        <translation>Infos</translation>
    </message>
    <message>
        <source>( Version 1.20 )</source>
        <translation>( Version 1.20 )</translation>
    </message>
    <message>
        <source>&amp;Continue</source>
        <translation>&amp;Continuer</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>%1: %2 Try &apos;%1 --help&apos;.</source>
        <translation>%1 : %2 Essayez &apos;%1 --help&apos;.</translation>
    </message>
    <message>
        <source>Velumo MP3 Ringtone Maker: cut a part of a music file into an MP3, AMR, iPhone or Android ringtone.</source>
        <translation>Velumo MP3 Ringtone Maker : découpe une partie d&apos;un fichier musical en sonnerie MP3, AMR, iPhone ou Android.</translation>
    </message>
    <message>
        <source>Shows this help.</source>
        <translation>Affiche cette aide.</translation>
    </message>
    <message>
        <source>Shows the program&apos;s version.</source>
        <translation>Affiche la version du programme.</translation>
    </message>
    <message>
        <source>A music file to open at start.</source>
        <translation>Un fichier musical à ouvrir au démarrage.</translation>
    </message>
    <message>
        <source>Only one file may be given.</source>
        <translation>Un seul fichier peut être indiqué.</translation>
    </message>
    <message>
        <source>Sends FILE to the phone paired in KDE Connect, and ends.</source>
        <translation>Envoie FILE au téléphone associé dans KDE Connect, puis termine.</translation>
    </message>
    <message>
        <source>--to goes with --send.</source>
        <translation>--to va avec --send.</translation>
    </message>
    <message>
        <source>--send takes one file, and one --to.</source>
        <translation>--send prend un fichier et un --to.</translation>
    </message>
    <message>
        <source>--send needs a file.</source>
        <translation>--send demande un fichier.</translation>
    </message>
    <message>
        <source>--to needs a name.</source>
        <translation>--to demande un nom.</translation>
    </message>
    <message>
        <source>Prints the tempo of FILE in BPM on the first line (0 without a steady beat), then its beat times in seconds, one a line.</source>
        <translation>Affiche le tempo de FILE en BPM sur la première ligne (0 sans pulsation régulière), puis les instants de ses temps en secondes, un par ligne.</translation>
    </message>
    <message>
        <source>Prints the ringtone suggested for FILE (its chorus) as one line: START END in seconds.</source>
        <translation>Affiche la sonnerie suggérée pour FILE (son refrain) sur une ligne : DÉBUT FIN en secondes.</translation>
    </message>
    <message>
        <source>Length of the suggested ringtone (default 30).</source>
        <translation>Durée de la sonnerie suggérée (30 par défaut).</translation>
    </message>
    <message>
        <source>--length goes with --suggest.</source>
        <translation>--length va avec --suggest.</translation>
    </message>
    <message>
        <source>Only one of --beats and --suggest may be given.</source>
        <translation>Un seul de --beats et --suggest peut être donné.</translation>
    </message>
    <message>
        <source>%1 needs one FILE.</source>
        <translation>%1 demande un FILE.</translation>
    </message>
    <message>
        <source>%1: Not a length in seconds: &apos;%2&apos;.</source>
        <translation>%1 : Pas une durée en secondes : &apos;%2&apos;.</translation>
    </message>
    <message>
        <source>The sound module cannot analyse songs.</source>
        <translation>Le module de son ne peut pas analyser les morceaux.</translation>
    </message>
    <message>
        <source>No sound in &quot;%1&quot; to suggest a ringtone from.</source>
        <translation>Aucun son dans &quot;%1&quot; d&apos;où suggérer une sonnerie.</translation>
    </message>
    <message>
        <source>Cannot write the answer.</source>
        <translation>Impossible d&apos;écrire la réponse.</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1 : %2</translation>
    </message>
    <message>
        <source>--save goes with none of --send, --beats, --suggest and --length.</source>
        <translation>--save ne va avec aucun de --send, --beats, --suggest et --length.</translation>
    </message>
    <message>
        <source>--save takes one TARGET, one --from and one --to.</source>
        <translation>--save prend une TARGET, un --from et un --to.</translation>
    </message>
    <message>
        <source>--save needs one FILE after its TARGET.</source>
        <translation>--save demande un FILE après sa TARGET.</translation>
    </message>
    <message>
        <source>--from and --to go together.</source>
        <translation>--from et --to vont ensemble.</translation>
    </message>
    <message>
        <source>--save needs a TARGET.</source>
        <translation>--save demande une TARGET.</translation>
    </message>
    <message>
        <source>Not a time in seconds: &apos;%1&apos;.</source>
        <translation>Pas une durée en secondes : &apos;%1&apos;.</translation>
    </message>
    <message>
        <source>--to (%1) must come after --from (%2).</source>
        <translation>--to (%1) doit venir après --from (%2).</translation>
    </message>
    <message>
        <source>With --send: the phone to send to, by its name. With --save: where the ringtone ends, in seconds.</source>
        <translation>Avec --send : le téléphone destinataire, par son nom. Avec --save : où la sonnerie se termine, en secondes.</translation>
    </message>
    <message>
        <source>Saves the ringtone of FILE as TARGET, its type by the extension, and ends: from --from to --to, or the suggested one.</source>
        <translation>Enregistre la sonnerie de FILE sous TARGET, son type d’après l’extension, et termine : de --from à --to, ou celle suggérée.</translation>
    </message>
    <message>
        <source>With --save: where the ringtone starts, in seconds.</source>
        <translation>Avec --save : où la sonnerie commence, en secondes.</translation>
    </message>
    <message>
        <source>--from goes with --save.</source>
        <translation>--from va avec --save.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a ringtone type: its name must end in %2.</source>
        <translation>« %1 » n’est pas un type de sonnerie : son nom doit finir par %2.</translation>
    </message>
    <message>
        <source>Saved &quot;%1&quot; from %2 to %3 seconds.</source>
        <translation>« %1 » enregistrée, de %2 à %3 secondes.</translation>
    </message>
</context>
<context>
    <name>Errors</name>
    <message>
        <source>Unknown error</source>
        <translation>Erreur inconnue</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <source>Error openning file: </source>
        <translation>Erreur à l&apos;ouverture du fichier : </translation>
    </message>
</context>
<context>
    <name>Export</name>
    <message>
        <source>The ringtone was not saved: </source>
        <translation>La sonnerie n&apos;a pas été enregistrée : </translation>
    </message>
    <message>
        <source>%1 (&quot;%2&quot;)</source>
        <translation>%1 (« %2 »)</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is neither %2; the name must end in one of these, in lower case.</source>
        <translation>« %1 » n&apos;est ni %2 ; le nom doit se terminer par l&apos;une de ces extensions, en minuscules.</translation>
    </message>
    <message>
        <source> nor </source>
        <translation> ni </translation>
    </message>
    <message>
        <source>the converter could not be started (%1).</source>
        <translation>le convertisseur n&apos;a pas pu démarrer (%1).</translation>
    </message>
    <message>
        <source>the converter was stopped by signal %1 (%2).</source>
        <translation>le convertisseur a été arrêté par le signal %1 (%2).</translation>
    </message>
    <message>
        <source>the converter&apos;s end could not be observed.</source>
        <translation>la fin du convertisseur n&apos;a pas pu être observée.</translation>
    </message>
    <message>
        <source>the converter failed with exit status %1.</source>
        <translation>le convertisseur a échoué avec le code de sortie %1.</translation>
    </message>
    <message>
        <source>the converter reported success, but &quot;%1&quot; is not there.</source>
        <translation>le convertisseur a signalé un succès, mais « %1 » est absent.</translation>
    </message>
    <message>
        <source>the converter reported success, but &quot;%1&quot; is empty.</source>
        <translation>le convertisseur a signalé un succès, mais « %1 » est vide.</translation>
    </message>
    <message>
        <source>no music file is open. Open one, mark the part you want, then save.</source>
        <translation>aucun fichier musical n&apos;est ouvert. Ouvrez-en un, marquez la partie voulue, puis enregistrez.</translation>
    </message>
    <message>
        <source>the converter &quot;%1&quot; is neither %2 nor in the work folder (%3).</source>
        <translation>le convertisseur « %1 » n&apos;est ni %2 ni dans le dossier de travail (%3).</translation>
    </message>
    <message>
        <source>beside the program (%1)</source>
        <translation>à côté du programme (%1)</translation>
    </message>
    <message>
        <source>in %1</source>
        <translation>dans %1</translation>
    </message>
</context>
<context>
    <name>JobText</name>
    <message>
        <source>Converting Mp3 Ringtone ... </source>
        <translation>Conversion de la sonnerie MP3 ... </translation>
    </message>
    <message>
        <source>Generating %1 ...</source>
        <translation>Création de %1 ...</translation>
    </message>
    <message>
        <source>Completed.</source>
        <translation>Terminé.</translation>
    </message>
    <message>
        <source>Failed.</source>
        <translation>Échec.</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Confirmer</translation>
    </message>
    <message>
        <source>Completed. Do you want to open the target directory?</source>
        <translation>Terminé. Voulez-vous ouvrir le dossier de destination ?</translation>
    </message>
    <message>
        <source> Note that the phone plays at most %1 seconds of a ringtone.</source>
        <translation> Notez que le téléphone joue au plus %1 secondes d&apos;une sonnerie.</translation>
    </message>
</context>
<context>
    <name>Keys</name>
    <message>
        <source>Space</source>
        <translation>Espace</translation>
    </message>
    <message>
        <source>Left</source>
        <translation>Gauche</translation>
    </message>
    <message>
        <source>Right</source>
        <translation>Droite</translation>
    </message>
    <message>
        <source>Home</source>
        <translation>Début</translation>
    </message>
    <message>
        <source>End</source>
        <translation>Fin</translation>
    </message>
    <message>
        <source>Shift+Left</source>
        <translation>Maj+Gauche</translation>
    </message>
    <message>
        <source>Shift+Right</source>
        <translation>Maj+Droite</translation>
    </message>
    <message>
        <source>Ctrl+O</source>
        <translation>Ctrl+O</translation>
    </message>
    <message>
        <source>Ctrl+S</source>
        <translation>Ctrl+S</translation>
    </message>
    <message>
        <source>Ctrl+Q</source>
        <translation>Ctrl+Q</translation>
    </message>
    <message>
        <source>Ctrl+P</source>
        <translation>Ctrl+P</translation>
    </message>
    <message>
        <source>Alt+Left</source>
        <translation>Alt+Gauche</translation>
    </message>
    <message>
        <source>Alt+Right</source>
        <translation>Alt+Droite</translation>
    </message>
    <message>
        <source>Ctrl+wheel</source>
        <translation>Ctrl+molette</translation>
    </message>
</context>
<context>
    <name>MainForm</name>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Retry</source>
        <translation>Réessayer</translation>
    </message>
    <message>
        <source>Ignore</source>
        <translation>Ignorer</translation>
    </message>
    <message>
        <source>File Name: %1</source>
        <translation>Fichier : %1</translation>
    </message>
    <message>
        <source>Sample Rate: %1</source>
        <translation>Échantillonnage : %1</translation>
    </message>
    <message>
        <source>Time Length: </source>
        <translation>Durée : </translation>
    </message>
    <message>
        <source>Bitrate: %1</source>
        <translation>Débit : %1</translation>
    </message>
    <message>
        <source>Channel: %1</source>
        <translation>Canaux : %1</translation>
    </message>
    <message>
        <source>Sample Rate: </source>
        <translation>Échantillonnage : </translation>
    </message>
    <message>
        <source>Time Length: %1</source>
        <translation>Durée : %1</translation>
    </message>
    <message>
        <source>Bitrate: </source>
        <translation>Débit : </translation>
    </message>
    <message>
        <source>Channel: </source>
        <translation>Canaux : </translation>
    </message>
    <message>
        <source>Cannot open &apos;%1&apos;: the name holds characters no file name can have</source>
        <translation>Impossible d&apos;ouvrir &apos;%1&apos; : le nom contient des caractères interdits dans un nom de fichier</translation>
    </message>
    <message>
        <source>Not enough memory for the timeline of %1 seconds</source>
        <translation>Mémoire insuffisante pour la chronologie de %1 secondes</translation>
    </message>
    <message>
        <source>Play / Pause</source>
        <translation>Lecture / Pause</translation>
    </message>
    <message>
        <source>Cursor one second back</source>
        <translation>Curseur une seconde en arrière</translation>
    </message>
    <message>
        <source>Cursor one second on</source>
        <translation>Curseur une seconde en avant</translation>
    </message>
    <message>
        <source>Cursor to the first second</source>
        <translation>Curseur à la première seconde</translation>
    </message>
    <message>
        <source>Cursor to the last second</source>
        <translation>Curseur à la dernière seconde</translation>
    </message>
    <message>
        <source>Mark start</source>
        <translation>Marquer le début</translation>
    </message>
    <message>
        <source>Mark end</source>
        <translation>Marquer la fin</translation>
    </message>
    <message>
        <source>Extend left</source>
        <translation>Étendre à gauche</translation>
    </message>
    <message>
        <source>Extend right</source>
        <translation>Étendre à droite</translation>
    </message>
    <message>
        <source>Play the selected segment</source>
        <translation>Lire la sélection</translation>
    </message>
    <message>
        <source>Timeline: real sound / decorative</source>
        <translation>Chronologie : son réel / décorative</translation>
    </message>
    <message>
        <source>Open a music file</source>
        <translation>Ouvrir un fichier musical</translation>
    </message>
    <message>
        <source>Save the ringtone</source>
        <translation>Enregistrer la sonnerie</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>This list of keys</source>
        <translation>Cette liste des touches</translation>
    </message>
    <message>
        <source>Keys:</source>
        <translation>Touches :</translation>
    </message>
    <message>
        <source>Cannot open &apos;%1&apos;: only files on this computer can be opened</source>
        <translation>Impossible d&apos;ouvrir &apos;%1&apos; : seuls les fichiers de cet ordinateur peuvent être ouverts</translation>
    </message>
    <message>
        <source>Cannot open &apos;%1&apos;: it is a folder, not a music file</source>
        <translation>Impossible d&apos;ouvrir &apos;%1&apos; : c&apos;est un dossier, pas un fichier musical</translation>
    </message>
    <message>
        <source>File Name:</source>
        <translation>Fichier :</translation>
    </message>
    <message>
        <source>Bitrate:</source>
        <translation>Débit :</translation>
    </message>
    <message>
        <source>Channels:</source>
        <translation>Canaux :</translation>
    </message>
    <message>
        <source>Sample Rate:</source>
        <translation>Échantillonnage :</translation>
    </message>
    <message>
        <source>Length:</source>
        <translation>Durée :</translation>
    </message>
    <message>
        <source>Begin Pos: </source>
        <translation>Début : </translation>
    </message>
    <message>
        <source>End Pos:</source>
        <translation>Fin :</translation>
    </message>
    <message>
        <source>Length: </source>
        <translation>Longueur : </translation>
    </message>
    <message>
        <source>About</source>
        <translation>Infos</translation>
    </message>
    <message>
        <source>Current Pos: </source>
        <translation>Position : </translation>
    </message>
    <message>
        <source>Mp3 Music Files (*.mp3)</source>
        <translation>Fichiers musicaux MP3 (*.mp3)</translation>
    </message>
    <message>
        <source>Wave Files (*.wav)</source>
        <translation>Fichiers Wave (*.wav)</translation>
    </message>
    <message>
        <source>WMA Files (*.wma)</source>
        <translation>Fichiers WMA (*.wma)</translation>
    </message>
    <message>
        <source>All Files (*.*)</source>
        <translation>Tous les fichiers (*.*)</translation>
    </message>
    <message>
        <source>A ringtone is being saved. Please wait until it is finished.</source>
        <translation>Une sonnerie est en cours d&apos;enregistrement. Veuillez attendre la fin.</translation>
    </message>
    <message>
        <source>Cannot keep the timeline choice: &apos;%1&apos; cannot be written</source>
        <translation>Impossible de garder le choix de la chronologie : &apos;%1&apos; ne peut pas être écrit</translation>
    </message>
    <message>
        <source>Cannot start reading the sound for the timeline (it stays empty): </source>
        <translation>Impossible de lire le son pour la chronologie (elle reste vide) : </translation>
    </message>
    <message>
        <source>End Pos: </source>
        <translation>Fin : </translation>
    </message>
    <message>
        <source>Play the loop</source>
        <translation>Lire la boucle</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Enregistrer</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Lecture</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Mono</source>
        <translation>Mono</translation>
    </message>
    <message>
        <source>Stereo</source>
        <translation>Stéréo</translation>
    </message>
    <message>
        <source>VBR</source>
        <translation>VBR</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Désactivé</translation>
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
        <translation>Réduire</translation>
    </message>
    <message>
        <source>Timeline</source>
        <translation>Chronologie</translation>
    </message>
    <message>
        <source>Start %1, end %2, cursor %3</source>
        <translation>Début %1, fin %2, curseur %3</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>État</translation>
    </message>
    <message>
        <source>Play selected segment</source>
        <translation>Lire la sélection</translation>
    </message>
    <message>
        <source>Velumo MP3 Ringtone Maker</source>
        <translation>Velumo MP3 Ringtone Maker</translation>
    </message>
    <message>
        <source>Banner</source>
        <translation>Bannière</translation>
    </message>
    <message>
        <source>Timeline area</source>
        <translation>Zone de la ligne de temps</translation>
    </message>
    <message>
        <source>Send the saved ringtone to the phone</source>
        <translation>Envoyer la sonnerie enregistrée au téléphone</translation>
    </message>
    <message>
        <source>Cursor one column back</source>
        <translation>Curseur une colonne en arrière</translation>
    </message>
    <message>
        <source>Cursor one column on</source>
        <translation>Curseur une colonne en avant</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>Zoom avant</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>Zoom arrière</translation>
    </message>
    <message>
        <source>Zoom back to the whole-second scale</source>
        <translation>Retour à l&apos;échelle des secondes entières</translation>
    </message>
    <message>
        <source>Zoom round the pointer</source>
        <translation>Zoomer autour du pointeur</translation>
    </message>
    <message>
        <source>Not snapped: the beats are still being found</source>
        <translation>Pas aimanté : les temps sont encore recherchés</translation>
    </message>
    <message>
        <source>Not snapped: this song has no steady beat</source>
        <translation>Pas aimanté : ce morceau n’a pas de rythme régulier</translation>
    </message>
    <message>
        <source>Nothing to suggest: the song has no sound</source>
        <translation>Rien à suggérer : le morceau est muet</translation>
    </message>
    <message>
        <source>Suggested: the chorus at %1</source>
        <translation>Suggéré : le refrain à %1</translation>
    </message>
    <message>
        <source>Nothing repeats: suggested the strongest stretch at %1</source>
        <translation>Rien ne se répète : suggéré le passage le plus fort à %1</translation>
    </message>
    <message>
        <source>Not suggested yet: the song is still being analysed</source>
        <translation>Pas encore de suggestion : le morceau est encore analysé</translation>
    </message>
    <message>
        <source>Snap to the beat on / off</source>
        <translation>Aimanter sur le temps oui / non</translation>
    </message>
    <message>
        <source>Suggest a ringtone (the chorus)</source>
        <translation>Suggérer une sonnerie (le refrain)</translation>
    </message>
</context>
<context>
    <name>Phone</name>
    <message>
        <source>No paired phone named &quot;%1&quot; is reachable (reachable: %2).</source>
        <translation>Aucun téléphone associé nommé &quot;%1&quot; n&apos;est joignable (joignables : %2).</translation>
    </message>
    <message>
        <source>%1 does not take files: switch on its &quot;Share and receive&quot; plugin in KDE Connect.</source>
        <translation>%1 n&apos;accepte pas de fichiers : activez son module &quot;Partager et recevoir&quot; dans KDE Connect.</translation>
    </message>
    <message>
        <source>Cannot send %1: the file is not there any more.</source>
        <translation>Impossible d&apos;envoyer %1 : le fichier n&apos;existe plus.</translation>
    </message>
    <message>
        <source>Cannot send %1: it is not a file.</source>
        <translation>Impossible d&apos;envoyer %1 : ce n&apos;est pas un fichier.</translation>
    </message>
    <message>
        <source>Cannot send %1: it cannot be read.</source>
        <translation>Impossible d&apos;envoyer %1 : il ne peut pas être lu.</translation>
    </message>
    <message>
        <source>KDE Connect could not be started: %1</source>
        <translation>KDE Connect n&apos;a pas pu être démarré : %1</translation>
    </message>
    <message>
        <source>KDE Connect did not answer in time.</source>
        <translation>KDE Connect n&apos;a pas répondu à temps.</translation>
    </message>
    <message>
        <source>There is no session bus, so KDE Connect cannot be reached.</source>
        <translation>Il n&apos;y a pas de bus de session, KDE Connect est donc injoignable.</translation>
    </message>
    <message>
        <source>KDE Connect refused: %1</source>
        <translation>KDE Connect a refusé : %1</translation>
    </message>
    <message>
        <source>Several phones are reachable (%1): name one with --to NAME.</source>
        <translation>Plusieurs téléphones sont joignables (%1) : nommez-en un avec --to NAME.</translation>
    </message>
    <message>
        <source>%1 did not take the ringtone: %2</source>
        <translation>%1 n&apos;a pas accepté la sonnerie : %2</translation>
    </message>
    <message>
        <source>Sent to %1</source>
        <translation>Envoyée à %1</translation>
    </message>
    <message>
        <source>Looking for the phone ...</source>
        <translation>Recherche du téléphone ...</translation>
    </message>
    <message>
        <source>Not sent.</source>
        <translation>Non envoyée.</translation>
    </message>
    <message>
        <source>Send to phone</source>
        <translation>Envoyer au téléphone</translation>
    </message>
    <message>
        <source>Which phone should get the ringtone?</source>
        <translation>Quel téléphone doit recevoir la sonnerie ?</translation>
    </message>
    <message>
        <source>KDE Connect is not installed, so the ringtone cannot go to a phone. Install it with: sudo apt install kdeconnect</source>
        <translation>KDE Connect n&apos;est pas installé, la sonnerie ne peut donc aller à aucun téléphone. Installez-le avec : sudo apt install kdeconnect</translation>
    </message>
    <message>
        <source>No paired phone is reachable. Pair the phone in KDE Connect and keep it on the same network.</source>
        <translation>Aucun téléphone associé n&apos;est joignable. Associez le téléphone dans KDE Connect et gardez-le sur le même réseau.</translation>
    </message>
</context>
<context>
    <name>RingtoneTypes</name>
    <message>
        <source>Mp3 Music File</source>
        <translation>Fichier musical MP3</translation>
    </message>
    <message>
        <source>AMR Ringtone</source>
        <translation>Sonnerie AMR</translation>
    </message>
    <message>
        <source>iPhone Ringtone</source>
        <translation>Sonnerie iPhone</translation>
    </message>
    <message>
        <source>Android Ringtone</source>
        <translation>Sonnerie Android</translation>
    </message>
    <message>
        <source>an MP3 ringtone</source>
        <translation>une sonnerie MP3</translation>
    </message>
    <message>
        <source>an AMR ringtone</source>
        <translation>une sonnerie AMR</translation>
    </message>
    <message>
        <source>an iPhone ringtone</source>
        <translation>une sonnerie iPhone</translation>
    </message>
    <message>
        <source>an Android ringtone</source>
        <translation>une sonnerie Android</translation>
    </message>
</context>
<context>
    <name>Skin</name>
    <message>
        <source>Play</source>
        <translation>Lecture</translation>
    </message>
    <message>
        <source>Mark start</source>
        <translation>Marquer le début</translation>
    </message>
    <message>
        <source>Mark end</source>
        <translation>Marquer la fin</translation>
    </message>
    <message>
        <source>Play the selected segment</source>
        <translation>Lire la sélection</translation>
    </message>
    <message>
        <source>Extend left</source>
        <translation>Étendre à gauche</translation>
    </message>
    <message>
        <source>Extend right</source>
        <translation>Étendre à droite</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>OPEN</source>
        <translation>OUVRIR</translation>
    </message>
    <message>
        <source>SAVE</source>
        <translation>ENREGISTRER</translation>
    </message>
    <message>
        <source>RINGTONE FILE</source>
        <translation>SONNERIE</translation>
    </message>
    <message>
        <source>Audio Information</source>
        <translation>Informations audio</translation>
    </message>
    <message>
        <source>Selected Segment Info</source>
        <translation>Segment sélectionné</translation>
    </message>
    <message>
        <source>Cut your favourite song into a ringtone</source>
        <translation>Faites de votre chanson préférée une sonnerie</translation>
    </message>
    <message>
        <source>Open a music file to begin  ▸</source>
        <translation>Ouvrez un fichier musical  ▸</translation>
    </message>
    <message>
        <source>Turn your favourite songs into</source>
        <translation>Transformez vos chansons préférées en</translation>
    </message>
    <message>
        <source>MP3 and AMR ringtones for your phone.</source>
        <translation>sonneries MP3 et AMR pour votre téléphone.</translation>
    </message>
    <message>
        <source>© 2026 Velumo Soft. All rights reserved.</source>
        <translation>© 2026 Velumo Soft. Tous droits réservés.</translation>
    </message>
</context>
<context>
    <name>TMainForm</name>
    <message>
        <source>Fade in</source>
        <translation>Fondu d&apos;entrée</translation>
    </message>
    <message>
        <source>Fade out</source>
        <translation>Fondu de sortie</translation>
    </message>
    <message>
        <source>Match phone loudness</source>
        <translation>Volume du téléphone</translation>
    </message>
    <message>
        <source>Show the real sound</source>
        <translation>Afficher le son réel</translation>
    </message>
    <message>
        <source>Keys…</source>
        <translation>Touches…</translation>
    </message>
    <message>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <source>Loudness could not be measured</source>
        <translation>Le volume n&apos;a pas pu être mesuré</translation>
    </message>
    <message>
        <source>Send to phone</source>
        <translation>Envoyer au téléphone</translation>
    </message>
    <message>
        <source>Snap to the beat</source>
        <translation>Aimanter sur le temps</translation>
    </message>
    <message>
        <source>Suggest a ringtone</source>
        <translation>Suggérer une sonnerie</translation>
    </message>
</context>
<context>
    <name>WorkFolder</name>
    <message>
        <source>Cannot examine the work folder %1: %2</source>
        <translation>Impossible d&apos;examiner le dossier de travail %1 : %2</translation>
    </message>
    <message>
        <source>Cannot create the work folder %1: %2</source>
        <translation>Impossible de créer le dossier de travail %1 : %2</translation>
    </message>
    <message>
        <source>The work folder %1 is a symbolic link.</source>
        <translation>Le dossier de travail %1 est un lien symbolique.</translation>
    </message>
    <message>
        <source>The work folder %1 is not a folder.</source>
        <translation>Le dossier de travail %1 n&apos;est pas un dossier.</translation>
    </message>
    <message>
        <source>The work folder %1 belongs to another user.</source>
        <translation>Le dossier de travail %1 appartient à un autre utilisateur.</translation>
    </message>
    <message>
        <source>The work folder %1 can be written by other users.</source>
        <translation>Le dossier de travail %1 est modifiable par d&apos;autres utilisateurs.</translation>
    </message>
    <message>
        <source>The work folder %1 cannot be read (%2).</source>
        <translation>Le dossier de travail %1 ne peut pas être lu (%2).</translation>
    </message>
    <message>
        <source>The work folder %1 cannot be written (%2).</source>
        <translation>Le dossier de travail %1 n&apos;est pas accessible en écriture (%2).</translation>
    </message>
</context>
</TS>
