<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
<context>
    <name>AboutForm</name>
    <message>
        <source>About</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>( Version 1.20 )</source>
        <translation>( Versión 1.20 )</translation>
    </message>
    <message>
        <source>&amp;Continue</source>
        <translation>&amp;Continuar</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>%1: %2 Try &apos;%1 --help&apos;.</source>
        <translation>%1: %2 Pruebe &apos;%1 --help&apos;.</translation>
    </message>
    <message>
        <source>Velumo MP3 Ringtone Maker: cut a part of a music file into an MP3, AMR, iPhone or Android ringtone.</source>
        <translation>Velumo MP3 Ringtone Maker: corta una parte de un archivo de música en un tono MP3, AMR, iPhone o Android.</translation>
    </message>
    <message>
        <source>Shows this help.</source>
        <translation>Muestra esta ayuda.</translation>
    </message>
    <message>
        <source>Shows the program&apos;s version.</source>
        <translation>Muestra la versión del programa.</translation>
    </message>
    <message>
        <source>A music file to open at start.</source>
        <translation>Un archivo de música que se abre al iniciar.</translation>
    </message>
    <message>
        <source>Only one file may be given.</source>
        <translation>Solo se puede indicar un archivo.</translation>
    </message>
    <message>
        <source>Sends FILE to the phone paired in KDE Connect, and ends.</source>
        <translation>Envía FILE al teléfono vinculado en KDE Connect y termina.</translation>
    </message>
    <message>
        <source>--to goes with --send.</source>
        <translation>--to va con --send.</translation>
    </message>
    <message>
        <source>--send takes one file, and one --to.</source>
        <translation>--send toma un archivo y un --to.</translation>
    </message>
    <message>
        <source>--send needs a file.</source>
        <translation>--send necesita un archivo.</translation>
    </message>
    <message>
        <source>--to needs a name.</source>
        <translation>--to necesita un nombre.</translation>
    </message>
    <message>
        <source>Prints the tempo of FILE in BPM on the first line (0 without a steady beat), then its beat times in seconds, one a line.</source>
        <translation>Muestra el tempo de FILE en BPM en la primera línea (0 si no tiene un pulso constante) y después los tiempos de sus pulsos en segundos, uno por línea.</translation>
    </message>
    <message>
        <source>Prints the ringtone suggested for FILE (its chorus) as one line: START END in seconds.</source>
        <translation>Muestra el tono sugerido para FILE (su estribillo) en una línea: INICIO FIN en segundos.</translation>
    </message>
    <message>
        <source>Length of the suggested ringtone (default 30).</source>
        <translation>Duración del tono sugerido (30 por omisión).</translation>
    </message>
    <message>
        <source>--length goes with --suggest.</source>
        <translation>--length va con --suggest.</translation>
    </message>
    <message>
        <source>Only one of --beats and --suggest may be given.</source>
        <translation>Solo se puede indicar uno de --beats y --suggest.</translation>
    </message>
    <message>
        <source>%1 needs one FILE.</source>
        <translation>%1 necesita un FILE.</translation>
    </message>
    <message>
        <source>%1: Not a length in seconds: &apos;%2&apos;.</source>
        <translation>%1: No es una duración en segundos: &apos;%2&apos;.</translation>
    </message>
    <message>
        <source>The sound module cannot analyse songs.</source>
        <translation>El módulo de sonido no puede analizar canciones.</translation>
    </message>
    <message>
        <source>No sound in &quot;%1&quot; to suggest a ringtone from.</source>
        <translation>No hay sonido en &quot;%1&quot; del que sugerir un tono.</translation>
    </message>
    <message>
        <source>Cannot write the answer.</source>
        <translation>No se puede escribir la respuesta.</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>--save goes with none of --send, --beats, --suggest and --length.</source>
        <translation>--save no va con ninguno de --send, --beats, --suggest y --length.</translation>
    </message>
    <message>
        <source>--save takes one TARGET, one --from and one --to.</source>
        <translation>--save toma un TARGET, un --from y un --to.</translation>
    </message>
    <message>
        <source>--save needs one FILE after its TARGET.</source>
        <translation>--save necesita un FILE después de su TARGET.</translation>
    </message>
    <message>
        <source>--from and --to go together.</source>
        <translation>--from y --to van juntos.</translation>
    </message>
    <message>
        <source>--save needs a TARGET.</source>
        <translation>--save necesita un TARGET.</translation>
    </message>
    <message>
        <source>Not a time in seconds: &apos;%1&apos;.</source>
        <translation>No es un tiempo en segundos: &apos;%1&apos;.</translation>
    </message>
    <message>
        <source>--to (%1) must come after --from (%2).</source>
        <translation>--to (%1) debe ir después de --from (%2).</translation>
    </message>
    <message>
        <source>With --send: the phone to send to, by its name. With --save: where the ringtone ends, in seconds.</source>
        <translation>Con --send: el teléfono al que enviar, por su nombre. Con --save: dónde termina el tono, en segundos.</translation>
    </message>
    <message>
        <source>Saves the ringtone of FILE as TARGET, its type by the extension, and ends: from --from to --to, or the suggested one.</source>
        <translation>Guarda el tono de FILE como TARGET, su tipo según la extensión, y termina: de --from a --to, o el sugerido.</translation>
    </message>
    <message>
        <source>With --save: where the ringtone starts, in seconds.</source>
        <translation>Con --save: dónde empieza el tono, en segundos.</translation>
    </message>
    <message>
        <source>--from goes with --save.</source>
        <translation>--from va con --save.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a ringtone type: its name must end in %2.</source>
        <translation>&quot;%1&quot; no es un tipo de tono: su nombre debe terminar en %2.</translation>
    </message>
    <message>
        <source>Saved &quot;%1&quot; from %2 to %3 seconds.</source>
        <translation>Guardado &quot;%1&quot; de %2 a %3 segundos.</translation>
    </message>
</context>
<context>
    <name>Errors</name>
    <message>
        <source>Unknown error</source>
        <translation>Error desconocido</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Error openning file: </source>
        <translation>Error al abrir el archivo: </translation>
    </message>
</context>
<context>
    <name>Export</name>
    <message>
        <source>The ringtone was not saved: </source>
        <translation>El tono no se guardó: </translation>
    </message>
    <message>
        <source>%1 (&quot;%2&quot;)</source>
        <translation>%1 («%2»)</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is neither %2; the name must end in one of these, in lower case.</source>
        <translation>«%1» no es ni %2; el nombre debe terminar en una de estas extensiones, en minúsculas.</translation>
    </message>
    <message>
        <source> nor </source>
        <translation> ni </translation>
    </message>
    <message>
        <source>the converter could not be started (%1).</source>
        <translation>no se pudo iniciar el conversor (%1).</translation>
    </message>
    <message>
        <source>the converter was stopped by signal %1 (%2).</source>
        <translation>el conversor fue detenido por la señal %1 (%2).</translation>
    </message>
    <message>
        <source>the converter&apos;s end could not be observed.</source>
        <translation>no se pudo observar el final del conversor.</translation>
    </message>
    <message>
        <source>the converter failed with exit status %1.</source>
        <translation>el conversor falló con el estado de salida %1.</translation>
    </message>
    <message>
        <source>the converter reported success, but &quot;%1&quot; is not there.</source>
        <translation>el conversor informó de éxito, pero «%1» no existe.</translation>
    </message>
    <message>
        <source>the converter reported success, but &quot;%1&quot; is empty.</source>
        <translation>el conversor informó de éxito, pero «%1» está vacío.</translation>
    </message>
    <message>
        <source>no music file is open. Open one, mark the part you want, then save.</source>
        <translation>no hay ningún archivo de música abierto. Abra uno, marque la parte que desee y guarde.</translation>
    </message>
    <message>
        <source>the converter &quot;%1&quot; is neither %2 nor in the work folder (%3).</source>
        <translation>el conversor «%1» no está ni %2 ni en la carpeta de trabajo (%3).</translation>
    </message>
    <message>
        <source>beside the program (%1)</source>
        <translation>junto al programa (%1)</translation>
    </message>
    <message>
        <source>in %1</source>
        <translation>en %1</translation>
    </message>
</context>
<context>
    <name>JobText</name>
    <message>
        <source>Converting Mp3 Ringtone ... </source>
        <translation>Convirtiendo el tono MP3 ... </translation>
    </message>
    <message>
        <source>Generating %1 ...</source>
        <translation>Generando %1 ...</translation>
    </message>
    <message>
        <source>Completed.</source>
        <translation>Terminado.</translation>
    </message>
    <message>
        <source>Failed.</source>
        <translation>Error.</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Confirmar</translation>
    </message>
    <message>
        <source>Completed. Do you want to open the target directory?</source>
        <translation>Terminado. ¿Desea abrir la carpeta de destino?</translation>
    </message>
    <message>
        <source> Note that the phone plays at most %1 seconds of a ringtone.</source>
        <translation> Tenga en cuenta que el teléfono reproduce como máximo %1 segundos de un tono.</translation>
    </message>
</context>
<context>
    <name>Keys</name>
    <message>
        <source>Space</source>
        <translation>Espacio</translation>
    </message>
    <message>
        <source>Left</source>
        <translation>Izquierda</translation>
    </message>
    <message>
        <source>Right</source>
        <translation>Derecha</translation>
    </message>
    <message>
        <source>Home</source>
        <translation>Inicio</translation>
    </message>
    <message>
        <source>End</source>
        <translation>Fin</translation>
    </message>
    <message>
        <source>Shift+Left</source>
        <translation>Mayús+Izquierda</translation>
    </message>
    <message>
        <source>Shift+Right</source>
        <translation>Mayús+Derecha</translation>
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
        <translation>Alt+Izquierda</translation>
    </message>
    <message>
        <source>Alt+Right</source>
        <translation>Alt+Derecha</translation>
    </message>
    <message>
        <source>Ctrl+wheel</source>
        <translation>Ctrl+rueda</translation>
    </message>
</context>
<context>
    <name>MainForm</name>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Retry</source>
        <translation>Reintentar</translation>
    </message>
    <message>
        <source>Ignore</source>
        <translation>Ignorar</translation>
    </message>
    <message>
        <source>File Name: %1</source>
        <translation>Archivo: %1</translation>
    </message>
    <message>
        <source>Sample Rate: %1</source>
        <translation>Muestreo: %1</translation>
    </message>
    <message>
        <source>Time Length: </source>
        <translation>Duración: </translation>
    </message>
    <message>
        <source>Bitrate: %1</source>
        <translation>Bitrate: %1</translation>
    </message>
    <message>
        <source>Channel: %1</source>
        <translation>Canales: %1</translation>
    </message>
    <message>
        <source>Sample Rate: </source>
        <translation>Muestreo: </translation>
    </message>
    <message>
        <source>Time Length: %1</source>
        <translation>Duración: %1</translation>
    </message>
    <message>
        <source>Bitrate: </source>
        <translation>Bitrate: </translation>
    </message>
    <message>
        <source>Channel: </source>
        <translation>Canales: </translation>
    </message>
    <message>
        <source>Cannot open &apos;%1&apos;: the name holds characters no file name can have</source>
        <translation>No se puede abrir &apos;%1&apos;: el nombre contiene caracteres no válidos en un nombre de archivo</translation>
    </message>
    <message>
        <source>Not enough memory for the timeline of %1 seconds</source>
        <translation>No hay memoria suficiente para la línea de tiempo de %1 segundos</translation>
    </message>
    <message>
        <source>Play / Pause</source>
        <translation>Reproducir / Pausa</translation>
    </message>
    <message>
        <source>Cursor one second back</source>
        <translation>Cursor un segundo atrás</translation>
    </message>
    <message>
        <source>Cursor one second on</source>
        <translation>Cursor un segundo adelante</translation>
    </message>
    <message>
        <source>Cursor to the first second</source>
        <translation>Cursor al primer segundo</translation>
    </message>
    <message>
        <source>Cursor to the last second</source>
        <translation>Cursor al último segundo</translation>
    </message>
    <message>
        <source>Mark start</source>
        <translation>Marcar inicio</translation>
    </message>
    <message>
        <source>Mark end</source>
        <translation>Marcar fin</translation>
    </message>
    <message>
        <source>Extend left</source>
        <translation>Ampliar a la izquierda</translation>
    </message>
    <message>
        <source>Extend right</source>
        <translation>Ampliar a la derecha</translation>
    </message>
    <message>
        <source>Play the selected segment</source>
        <translation>Reproducir la selección</translation>
    </message>
    <message>
        <source>Timeline: real sound / decorative</source>
        <translation>Línea de tiempo: sonido real / decorativa</translation>
    </message>
    <message>
        <source>Open a music file</source>
        <translation>Abrir un archivo de música</translation>
    </message>
    <message>
        <source>Save the ringtone</source>
        <translation>Guardar el tono</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Salir</translation>
    </message>
    <message>
        <source>This list of keys</source>
        <translation>Esta lista de teclas</translation>
    </message>
    <message>
        <source>Keys:</source>
        <translation>Teclas:</translation>
    </message>
    <message>
        <source>Cannot open &apos;%1&apos;: only files on this computer can be opened</source>
        <translation>No se puede abrir &apos;%1&apos;: solo se pueden abrir archivos de este equipo</translation>
    </message>
    <message>
        <source>Cannot open &apos;%1&apos;: it is a folder, not a music file</source>
        <translation>No se puede abrir &apos;%1&apos;: es una carpeta, no un archivo de música</translation>
    </message>
    <message>
        <source>File Name:</source>
        <translation>Archivo:</translation>
    </message>
    <message>
        <source>Bitrate:</source>
        <translation>Bitrate:</translation>
    </message>
    <message>
        <source>Channels:</source>
        <translation>Canales:</translation>
    </message>
    <message>
        <source>Sample Rate:</source>
        <translation>Muestreo:</translation>
    </message>
    <message>
        <source>Length:</source>
        <translation>Duración:</translation>
    </message>
    <message>
        <source>Begin Pos: </source>
        <translation>Inicio: </translation>
    </message>
    <message>
        <source>End Pos:</source>
        <translation>Fin:</translation>
    </message>
    <message>
        <source>Length: </source>
        <translation>Longitud: </translation>
    </message>
    <message>
        <source>About</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Current Pos: </source>
        <translation>Posición: </translation>
    </message>
    <message>
        <source>Mp3 Music Files (*.mp3)</source>
        <translation>Archivos de música MP3 (*.mp3)</translation>
    </message>
    <message>
        <source>Wave Files (*.wav)</source>
        <translation>Archivos Wave (*.wav)</translation>
    </message>
    <message>
        <source>WMA Files (*.wma)</source>
        <translation>Archivos WMA (*.wma)</translation>
    </message>
    <message>
        <source>All Files (*.*)</source>
        <translation>Todos los archivos (*.*)</translation>
    </message>
    <message>
        <source>A ringtone is being saved. Please wait until it is finished.</source>
        <translation>Se está guardando un tono. Espere a que termine.</translation>
    </message>
    <message>
        <source>Cannot keep the timeline choice: &apos;%1&apos; cannot be written</source>
        <translation>No se puede guardar la elección de la línea de tiempo: no se puede escribir &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Cannot start reading the sound for the timeline (it stays empty): </source>
        <translation>No se puede leer el sonido para la línea de tiempo (queda vacía): </translation>
    </message>
    <message>
        <source>End Pos: </source>
        <translation>Fin: </translation>
    </message>
    <message>
        <source>Play the loop</source>
        <translation>Reproducir el bucle</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Abrir</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Guardar</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Reproducir</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pausa</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <source>Mono</source>
        <translation>Mono</translation>
    </message>
    <message>
        <source>Stereo</source>
        <translation>Estéreo</translation>
    </message>
    <message>
        <source>VBR</source>
        <translation>VBR</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Desactivado</translation>
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
        <translation>Minimizar</translation>
    </message>
    <message>
        <source>Timeline</source>
        <translation>Línea de tiempo</translation>
    </message>
    <message>
        <source>Start %1, end %2, cursor %3</source>
        <translation>Inicio %1, fin %2, cursor %3</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Estado</translation>
    </message>
    <message>
        <source>Play selected segment</source>
        <translation>Reproducir la selección</translation>
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
        <translation>Zona de la línea de tiempo</translation>
    </message>
    <message>
        <source>Send the saved ringtone to the phone</source>
        <translation>Enviar el tono guardado al teléfono</translation>
    </message>
    <message>
        <source>Cursor one column back</source>
        <translation>Cursor una columna atrás</translation>
    </message>
    <message>
        <source>Cursor one column on</source>
        <translation>Cursor una columna adelante</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>Acercar</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>Alejar</translation>
    </message>
    <message>
        <source>Zoom back to the whole-second scale</source>
        <translation>Volver a la escala de segundos enteros</translation>
    </message>
    <message>
        <source>Zoom round the pointer</source>
        <translation>Acercar alrededor del puntero</translation>
    </message>
    <message>
        <source>Not snapped: the beats are still being found</source>
        <translation>Sin ajustar: aún se buscan los pulsos</translation>
    </message>
    <message>
        <source>Not snapped: this song has no steady beat</source>
        <translation>Sin ajustar: esta canción no tiene un pulso regular</translation>
    </message>
    <message>
        <source>Nothing to suggest: the song has no sound</source>
        <translation>Nada que sugerir: la canción no tiene sonido</translation>
    </message>
    <message>
        <source>Suggested: the chorus at %1</source>
        <translation>Sugerido: el estribillo en %1</translation>
    </message>
    <message>
        <source>Nothing repeats: suggested the strongest stretch at %1</source>
        <translation>Nada se repite: sugerido el tramo más fuerte en %1</translation>
    </message>
    <message>
        <source>Not suggested yet: the song is still being analysed</source>
        <translation>Aún sin sugerencia: la canción todavía se está analizando</translation>
    </message>
    <message>
        <source>Snap to the beat on / off</source>
        <translation>Ajustar al pulso sí / no</translation>
    </message>
    <message>
        <source>Suggest a ringtone (the chorus)</source>
        <translation>Sugerir un tono (el estribillo)</translation>
    </message>
</context>
<context>
    <name>Phone</name>
    <message>
        <source>No paired phone named &quot;%1&quot; is reachable (reachable: %2).</source>
        <translation>No hay ningún teléfono vinculado llamado &quot;%1&quot; al alcance (al alcance: %2).</translation>
    </message>
    <message>
        <source>%1 does not take files: switch on its &quot;Share and receive&quot; plugin in KDE Connect.</source>
        <translation>%1 no acepta archivos: active su complemento &quot;Compartir y recibir&quot; en KDE Connect.</translation>
    </message>
    <message>
        <source>Cannot send %1: the file is not there any more.</source>
        <translation>No se puede enviar %1: el archivo ya no está.</translation>
    </message>
    <message>
        <source>Cannot send %1: it is not a file.</source>
        <translation>No se puede enviar %1: no es un archivo.</translation>
    </message>
    <message>
        <source>Cannot send %1: it cannot be read.</source>
        <translation>No se puede enviar %1: no se puede leer.</translation>
    </message>
    <message>
        <source>KDE Connect could not be started: %1</source>
        <translation>No se pudo iniciar KDE Connect: %1</translation>
    </message>
    <message>
        <source>KDE Connect did not answer in time.</source>
        <translation>KDE Connect no respondió a tiempo.</translation>
    </message>
    <message>
        <source>There is no session bus, so KDE Connect cannot be reached.</source>
        <translation>No hay bus de sesión, así que no se puede llegar a KDE Connect.</translation>
    </message>
    <message>
        <source>KDE Connect refused: %1</source>
        <translation>KDE Connect lo rechazó: %1</translation>
    </message>
    <message>
        <source>Several phones are reachable (%1): name one with --to NAME.</source>
        <translation>Hay varios teléfonos al alcance (%1): nombre uno con --to NAME.</translation>
    </message>
    <message>
        <source>%1 did not take the ringtone: %2</source>
        <translation>%1 no aceptó el tono: %2</translation>
    </message>
    <message>
        <source>Sent to %1</source>
        <translation>Enviado a %1</translation>
    </message>
    <message>
        <source>Looking for the phone ...</source>
        <translation>Buscando el teléfono ...</translation>
    </message>
    <message>
        <source>Not sent.</source>
        <translation>No enviado.</translation>
    </message>
    <message>
        <source>Send to phone</source>
        <translation>Enviar al teléfono</translation>
    </message>
    <message>
        <source>Which phone should get the ringtone?</source>
        <translation>¿Qué teléfono debe recibir el tono?</translation>
    </message>
    <message>
        <source>KDE Connect is not installed, so the ringtone cannot go to a phone. Install it with: sudo apt install kdeconnect</source>
        <translation>KDE Connect no está instalado, así que el tono no puede ir a ningún teléfono. Instálelo con: sudo apt install kdeconnect</translation>
    </message>
    <message>
        <source>No paired phone is reachable. Pair the phone in KDE Connect and keep it on the same network.</source>
        <translation>No hay ningún teléfono vinculado al alcance. Vincule el teléfono en KDE Connect y manténgalo en la misma red.</translation>
    </message>
</context>
<context>
    <name>RingtoneTypes</name>
    <message>
        <source>Mp3 Music File</source>
        <translation>Archivo de música MP3</translation>
    </message>
    <message>
        <source>AMR Ringtone</source>
        <translation>Tono AMR</translation>
    </message>
    <message>
        <source>iPhone Ringtone</source>
        <translation>Tono de iPhone</translation>
    </message>
    <message>
        <source>Android Ringtone</source>
        <translation>Tono de Android</translation>
    </message>
    <message>
        <source>an MP3 ringtone</source>
        <translation>un tono MP3</translation>
    </message>
    <message>
        <source>an AMR ringtone</source>
        <translation>un tono AMR</translation>
    </message>
    <message>
        <source>an iPhone ringtone</source>
        <translation>un tono de iPhone</translation>
    </message>
    <message>
        <source>an Android ringtone</source>
        <translation>un tono de Android</translation>
    </message>
</context>
<context>
    <name>Skin</name>
    <message>
        <source>Play</source>
        <translation>Reproducir</translation>
    </message>
    <message>
        <source>Mark start</source>
        <translation>Marcar inicio</translation>
    </message>
    <message>
        <source>Mark end</source>
        <translation>Marcar fin</translation>
    </message>
    <message>
        <source>Play the selected segment</source>
        <translation>Reproducir la selección</translation>
    </message>
    <message>
        <source>Extend left</source>
        <translation>Ampliar a la izquierda</translation>
    </message>
    <message>
        <source>Extend right</source>
        <translation>Ampliar a la derecha</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pausa</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Opciones</translation>
    </message>
    <message>
        <source>OPEN</source>
        <translation>ABRIR</translation>
    </message>
    <message>
        <source>SAVE</source>
        <translation>GUARDAR</translation>
    </message>
    <message>
        <source>RINGTONE FILE</source>
        <translation>ARCHIVO DE TONO</translation>
    </message>
    <message>
        <source>Audio Information</source>
        <translation>Información de audio</translation>
    </message>
    <message>
        <source>Selected Segment Info</source>
        <translation>Segmento elegido</translation>
    </message>
    <message>
        <source>Cut your favourite song into a ringtone</source>
        <translation>Convierta su canción favorita en un tono</translation>
    </message>
    <message>
        <source>Open a music file to begin  ▸</source>
        <translation>Abra un archivo de música  ▸</translation>
    </message>
    <message>
        <source>Turn your favourite songs into</source>
        <translation>Convierta sus canciones favoritas en</translation>
    </message>
    <message>
        <source>MP3 and AMR ringtones for your phone.</source>
        <translation>tonos MP3 y AMR para su teléfono.</translation>
    </message>
    <message>
        <source>© 2026 Velumo Soft. All rights reserved.</source>
        <translation>© 2026 Velumo Soft. Todos los derechos reservados.</translation>
    </message>
</context>
<context>
    <name>TMainForm</name>
    <message>
        <source>Fade in</source>
        <translation>Fundido de entrada</translation>
    </message>
    <message>
        <source>Fade out</source>
        <translation>Fundido de salida</translation>
    </message>
    <message>
        <source>Match phone loudness</source>
        <translation>Igualar el volumen del teléfono</translation>
    </message>
    <message>
        <source>Show the real sound</source>
        <translation>Mostrar el sonido real</translation>
    </message>
    <message>
        <source>Keys…</source>
        <translation>Teclas…</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Acerca de</translation>
    </message>
    <message>
        <source>Loudness could not be measured</source>
        <translation>No se pudo medir el volumen</translation>
    </message>
    <message>
        <source>Send to phone</source>
        <translation>Enviar al teléfono</translation>
    </message>
    <message>
        <source>Snap to the beat</source>
        <translation>Ajustar al pulso</translation>
    </message>
    <message>
        <source>Suggest a ringtone</source>
        <translation>Sugerir un tono</translation>
    </message>
</context>
<context>
    <name>WorkFolder</name>
    <message>
        <source>Cannot examine the work folder %1: %2</source>
        <translation>No se puede examinar la carpeta de trabajo %1: %2</translation>
    </message>
    <message>
        <source>Cannot create the work folder %1: %2</source>
        <translation>No se puede crear la carpeta de trabajo %1: %2</translation>
    </message>
    <message>
        <source>The work folder %1 is a symbolic link.</source>
        <translation>La carpeta de trabajo %1 es un enlace simbólico.</translation>
    </message>
    <message>
        <source>The work folder %1 is not a folder.</source>
        <translation>La carpeta de trabajo %1 no es una carpeta.</translation>
    </message>
    <message>
        <source>The work folder %1 belongs to another user.</source>
        <translation>La carpeta de trabajo %1 pertenece a otro usuario.</translation>
    </message>
    <message>
        <source>The work folder %1 can be written by other users.</source>
        <translation>Otros usuarios pueden escribir en la carpeta de trabajo %1.</translation>
    </message>
    <message>
        <source>The work folder %1 cannot be read (%2).</source>
        <translation>No se puede leer la carpeta de trabajo %1 (%2).</translation>
    </message>
    <message>
        <source>The work folder %1 cannot be written (%2).</source>
        <translation>No se puede escribir en la carpeta de trabajo %1 (%2).</translation>
    </message>
</context>
</TS>
