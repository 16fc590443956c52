<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_BR">
<context>
    <name>AboutForm</name>
    <message>
        <source>About</source>
        <translation>Sobre</translation>
    </message>
    <message>
        <source>( Version 1.20 )</source>
        <translation>( Versão 1.20 )</translation>
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
        <translation>%1: %2 Tente &apos;%1 --help&apos;.</translation>
    </message>
    <message>
        <source>Velumo MP3 Ringtone Maker: cut a part of a music file into an MP3, AMR, iPhone or Android ringtone.</source>
        <translation>Velumo MP3 Ringtone Maker: corta um trecho de um arquivo de música em um toque MP3, AMR, iPhone ou Android.</translation>
    </message>
    <message>
        <source>Shows this help.</source>
        <translation>Mostra esta ajuda.</translation>
    </message>
    <message>
        <source>Shows the program&apos;s version.</source>
        <translation>Mostra a versão do programa.</translation>
    </message>
    <message>
        <source>A music file to open at start.</source>
        <translation>Um arquivo de música para abrir ao iniciar.</translation>
    </message>
    <message>
        <source>Only one file may be given.</source>
        <translation>Só é possível informar um arquivo.</translation>
    </message>
    <message>
        <source>Sends FILE to the phone paired in KDE Connect, and ends.</source>
        <translation>Envia FILE para o celular pareado no KDE Connect e termina.</translation>
    </message>
    <message>
        <source>--to goes with --send.</source>
        <translation>--to vai com --send.</translation>
    </message>
    <message>
        <source>--send takes one file, and one --to.</source>
        <translation>--send recebe um arquivo e um --to.</translation>
    </message>
    <message>
        <source>--send needs a file.</source>
        <translation>--send precisa de um arquivo.</translation>
    </message>
    <message>
        <source>--to needs a name.</source>
        <translation>--to precisa de um nome.</translation>
    </message>
    <message>
        <source>Prints the tempo of FILE in BPM on the first line (0 without a steady beat), then its beat times in seconds, one a line.</source>
        <translation>Mostra o andamento de FILE em BPM na primeira linha (0 sem uma batida regular) e depois os tempos de suas batidas em segundos, um por linha.</translation>
    </message>
    <message>
        <source>Prints the ringtone suggested for FILE (its chorus) as one line: START END in seconds.</source>
        <translation>Mostra o toque sugerido para FILE (seu refrão) em uma linha: INÍCIO FIM em segundos.</translation>
    </message>
    <message>
        <source>Length of the suggested ringtone (default 30).</source>
        <translation>Duração do toque sugerido (padrão 30).</translation>
    </message>
    <message>
        <source>--length goes with --suggest.</source>
        <translation>--length acompanha --suggest.</translation>
    </message>
    <message>
        <source>Only one of --beats and --suggest may be given.</source>
        <translation>Só um de --beats e --suggest pode ser dado.</translation>
    </message>
    <message>
        <source>%1 needs one FILE.</source>
        <translation>%1 precisa de um FILE.</translation>
    </message>
    <message>
        <source>%1: Not a length in seconds: &apos;%2&apos;.</source>
        <translation>%1: Não é uma duração em segundos: &apos;%2&apos;.</translation>
    </message>
    <message>
        <source>The sound module cannot analyse songs.</source>
        <translation>O módulo de som não consegue analisar músicas.</translation>
    </message>
    <message>
        <source>No sound in &quot;%1&quot; to suggest a ringtone from.</source>
        <translation>Não há som em &quot;%1&quot; para sugerir um toque.</translation>
    </message>
    <message>
        <source>Cannot write the answer.</source>
        <translation>Não foi possível escrever a resposta.</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>--save goes with none of --send, --beats, --suggest and --length.</source>
        <translation>--save não combina com nenhum de --send, --beats, --suggest e --length.</translation>
    </message>
    <message>
        <source>--save takes one TARGET, one --from and one --to.</source>
        <translation>--save aceita um TARGET, um --from e um --to.</translation>
    </message>
    <message>
        <source>--save needs one FILE after its TARGET.</source>
        <translation>--save precisa de um FILE depois do seu TARGET.</translation>
    </message>
    <message>
        <source>--from and --to go together.</source>
        <translation>--from e --to vão juntos.</translation>
    </message>
    <message>
        <source>--save needs a TARGET.</source>
        <translation>--save precisa de um TARGET.</translation>
    </message>
    <message>
        <source>Not a time in seconds: &apos;%1&apos;.</source>
        <translation>Não é um tempo em segundos: &apos;%1&apos;.</translation>
    </message>
    <message>
        <source>--to (%1) must come after --from (%2).</source>
        <translation>--to (%1) deve vir depois de --from (%2).</translation>
    </message>
    <message>
        <source>With --send: the phone to send to, by its name. With --save: where the ringtone ends, in seconds.</source>
        <translation>Com --send: o telefone para onde enviar, pelo nome. Com --save: onde o toque termina, em segundos.</translation>
    </message>
    <message>
        <source>Saves the ringtone of FILE as TARGET, its type by the extension, and ends: from --from to --to, or the suggested one.</source>
        <translation>Salva o toque de FILE como TARGET, o tipo pela extensão, e termina: de --from a --to, ou o sugerido.</translation>
    </message>
    <message>
        <source>With --save: where the ringtone starts, in seconds.</source>
        <translation>Com --save: onde o toque começa, em segundos.</translation>
    </message>
    <message>
        <source>--from goes with --save.</source>
        <translation>--from vai com --save.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a ringtone type: its name must end in %2.</source>
        <translation>&quot;%1&quot; não é um tipo de toque: o nome deve terminar em %2.</translation>
    </message>
    <message>
        <source>Saved &quot;%1&quot; from %2 to %3 seconds.</source>
        <translation>Salvo &quot;%1&quot; de %2 a %3 segundos.</translation>
    </message>
</context>
<context>
    <name>Errors</name>
    <message>
        <source>Unknown error</source>
        <translation>Erro desconhecido</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erro</translation>
    </message>
    <message>
        <source>Error openning file: </source>
        <translation>Erro ao abrir o arquivo: </translation>
    </message>
</context>
<context>
    <name>Export</name>
    <message>
        <source>The ringtone was not saved: </source>
        <translation>O toque não foi salvo: </translation>
    </message>
    <message>
        <source>%1 (&quot;%2&quot;)</source>
        <translation>%1 (&quot;%2&quot;)</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is neither %2; the name must end in one of these, in lower case.</source>
        <translation>&quot;%1&quot; não é nem %2; o nome deve terminar com uma destas extensões, em minúsculas.</translation>
    </message>
    <message>
        <source> nor </source>
        <translation> nem </translation>
    </message>
    <message>
        <source>the converter could not be started (%1).</source>
        <translation>o conversor não pôde ser iniciado (%1).</translation>
    </message>
    <message>
        <source>the converter was stopped by signal %1 (%2).</source>
        <translation>o conversor foi interrompido pelo sinal %1 (%2).</translation>
    </message>
    <message>
        <source>the converter&apos;s end could not be observed.</source>
        <translation>não foi possível observar o fim do conversor.</translation>
    </message>
    <message>
        <source>the converter failed with exit status %1.</source>
        <translation>o conversor falhou com o código de saída %1.</translation>
    </message>
    <message>
        <source>the converter reported success, but &quot;%1&quot; is not there.</source>
        <translation>o conversor relatou sucesso, mas &quot;%1&quot; não existe.</translation>
    </message>
    <message>
        <source>the converter reported success, but &quot;%1&quot; is empty.</source>
        <translation>o conversor relatou sucesso, mas &quot;%1&quot; está vazio.</translation>
    </message>
    <message>
        <source>no music file is open. Open one, mark the part you want, then save.</source>
        <translation>nenhum arquivo de música está aberto. Abra um, marque o trecho desejado e salve.</translation>
    </message>
    <message>
        <source>the converter &quot;%1&quot; is neither %2 nor in the work folder (%3).</source>
        <translation>o conversor &quot;%1&quot; não está nem %2 nem na pasta de trabalho (%3).</translation>
    </message>
    <message>
        <source>beside the program (%1)</source>
        <translation>ao lado do programa (%1)</translation>
    </message>
    <message>
        <source>in %1</source>
        <translation>em %1</translation>
    </message>
</context>
<context>
    <name>JobText</name>
    <message>
        <source>Converting Mp3 Ringtone ... </source>
        <translation>Convertendo o toque MP3 ... </translation>
    </message>
    <message>
        <source>Generating %1 ...</source>
        <translation>Gerando %1 ...</translation>
    </message>
    <message>
        <source>Completed.</source>
        <translation>Concluído.</translation>
    </message>
    <message>
        <source>Failed.</source>
        <translation>Falhou.</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Confirmar</translation>
    </message>
    <message>
        <source>Completed. Do you want to open the target directory?</source>
        <translation>Concluído. Deseja abrir a pasta de destino?</translation>
    </message>
    <message>
        <source> Note that the phone plays at most %1 seconds of a ringtone.</source>
        <translation> Observe que o telefone toca no máximo %1 segundos de um toque.</translation>
    </message>
</context>
<context>
    <name>Keys</name>
    <message>
        <source>Space</source>
        <translation>Espaço</translation>
    </message>
    <message>
        <source>Left</source>
        <translation>Esquerda</translation>
    </message>
    <message>
        <source>Right</source>
        <translation>Direita</translation>
    </message>
    <message>
        <source>Home</source>
        <translation>Home</translation>
    </message>
    <message>
        <source>End</source>
        <translation>End</translation>
    </message>
    <message>
        <source>Shift+Left</source>
        <translation>Shift+Esquerda</translation>
    </message>
    <message>
        <source>Shift+Right</source>
        <translation>Shift+Direita</translation>
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
        <translation>Alt+Esquerda</translation>
    </message>
    <message>
        <source>Alt+Right</source>
        <translation>Alt+Direita</translation>
    </message>
    <message>
        <source>Ctrl+wheel</source>
        <translation>Ctrl+roda</translation>
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
        <translation>Tentar de novo</translation>
    </message>
    <message>
        <source>Ignore</source>
        <translation>Ignorar</translation>
    </message>
    <message>
        <source>File Name: %1</source>
        <translation>Arquivo: %1</translation>
    </message>
    <message>
        <source>Sample Rate: %1</source>
        <translation>Amostragem: %1</translation>
    </message>
    <message>
        <source>Time Length: </source>
        <translation>Duração: </translation>
    </message>
    <message>
        <source>Bitrate: %1</source>
        <translation>Taxa de bits: %1</translation>
    </message>
    <message>
        <source>Channel: %1</source>
        <translation>Canais: %1</translation>
    </message>
    <message>
        <source>Sample Rate: </source>
        <translation>Amostragem: </translation>
    </message>
    <message>
        <source>Time Length: %1</source>
        <translation>Duração: %1</translation>
    </message>
    <message>
        <source>Bitrate: </source>
        <translation>Taxa de bits: </translation>
    </message>
    <message>
        <source>Channel: </source>
        <translation>Canais: </translation>
    </message>
    <message>
        <source>Cannot open &apos;%1&apos;: the name holds characters no file name can have</source>
        <translation>Não é possível abrir &apos;%1&apos;: o nome contém caracteres inválidos em nomes de arquivo</translation>
    </message>
    <message>
        <source>Not enough memory for the timeline of %1 seconds</source>
        <translation>Memória insuficiente para a linha do tempo de %1 segundos</translation>
    </message>
    <message>
        <source>Play / Pause</source>
        <translation>Tocar / Pausar</translation>
    </message>
    <message>
        <source>Cursor one second back</source>
        <translation>Cursor um segundo para trás</translation>
    </message>
    <message>
        <source>Cursor one second on</source>
        <translation>Cursor um segundo para frente</translation>
    </message>
    <message>
        <source>Cursor to the first second</source>
        <translation>Cursor no primeiro segundo</translation>
    </message>
    <message>
        <source>Cursor to the last second</source>
        <translation>Cursor no último segundo</translation>
    </message>
    <message>
        <source>Mark start</source>
        <translation>Marcar início</translation>
    </message>
    <message>
        <source>Mark end</source>
        <translation>Marcar fim</translation>
    </message>
    <message>
        <source>Extend left</source>
        <translation>Estender à esquerda</translation>
    </message>
    <message>
        <source>Extend right</source>
        <translation>Estender à direita</translation>
    </message>
    <message>
        <source>Play the selected segment</source>
        <translation>Tocar a seleção</translation>
    </message>
    <message>
        <source>Timeline: real sound / decorative</source>
        <translation>Linha do tempo: som real / decorativa</translation>
    </message>
    <message>
        <source>Open a music file</source>
        <translation>Abrir um arquivo de música</translation>
    </message>
    <message>
        <source>Save the ringtone</source>
        <translation>Salvar o toque</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Sair</translation>
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
        <translation>Não é possível abrir &apos;%1&apos;: só arquivos deste computador podem ser abertos</translation>
    </message>
    <message>
        <source>Cannot open &apos;%1&apos;: it is a folder, not a music file</source>
        <translation>Não é possível abrir &apos;%1&apos;: é uma pasta, não um arquivo de música</translation>
    </message>
    <message>
        <source>File Name:</source>
        <translation>Arquivo:</translation>
    </message>
    <message>
        <source>Bitrate:</source>
        <translation>Taxa de bits:</translation>
    </message>
    <message>
        <source>Channels:</source>
        <translation>Canais:</translation>
    </message>
    <message>
        <source>Sample Rate:</source>
        <translation>Amostragem:</translation>
    </message>
    <message>
        <source>Length:</source>
        <translation>Duração:</translation>
    </message>
    <message>
        <source>Begin Pos: </source>
        <translation>Início: </translation>
    </message>
    <message>
        <source>End Pos:</source>
        <translation>Fim:</translation>
    </message>
    <message>
        <source>Length: </source>
        <translation>Tamanho: </translation>
    </message>
    <message>
        <source>About</source>
        <translation>Sobre</translation>
    </message>
    <message>
        <source>Current Pos: </source>
        <translation>Posição: </translation>
    </message>
    <message>
        <source>Mp3 Music Files (*.mp3)</source>
        <translation>Arquivos de música MP3 (*.mp3)</translation>
    </message>
    <message>
        <source>Wave Files (*.wav)</source>
        <translation>Arquivos Wave (*.wav)</translation>
    </message>
    <message>
        <source>WMA Files (*.wma)</source>
        <translation>Arquivos WMA (*.wma)</translation>
    </message>
    <message>
        <source>All Files (*.*)</source>
        <translation>Todos os arquivos (*.*)</translation>
    </message>
    <message>
        <source>A ringtone is being saved. Please wait until it is finished.</source>
        <translation>Um toque está sendo salvo. Aguarde até que termine.</translation>
    </message>
    <message>
        <source>Cannot keep the timeline choice: &apos;%1&apos; cannot be written</source>
        <translation>Não é possível guardar a escolha da linha do tempo: &apos;%1&apos; não pode ser gravado</translation>
    </message>
    <message>
        <source>Cannot start reading the sound for the timeline (it stays empty): </source>
        <translation>Não é possível ler o som para a linha do tempo (ela fica vazia): </translation>
    </message>
    <message>
        <source>End Pos: </source>
        <translation>Fim: </translation>
    </message>
    <message>
        <source>Play the loop</source>
        <translation>Tocar o loop</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Abrir</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Salvar</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Tocar</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pausar</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fechar</translation>
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
        <translation>Desligado</translation>
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
        <translation>Linha do tempo</translation>
    </message>
    <message>
        <source>Start %1, end %2, cursor %3</source>
        <translation>Início %1, fim %2, cursor %3</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Estado</translation>
    </message>
    <message>
        <source>Play selected segment</source>
        <translation>Tocar a seleção</translation>
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
        <translation>Área da linha do tempo</translation>
    </message>
    <message>
        <source>Send the saved ringtone to the phone</source>
        <translation>Enviar o toque salvo para o celular</translation>
    </message>
    <message>
        <source>Cursor one column back</source>
        <translation>Cursor uma coluna para trás</translation>
    </message>
    <message>
        <source>Cursor one column on</source>
        <translation>Cursor uma coluna para frente</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>Ampliar</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>Reduzir</translation>
    </message>
    <message>
        <source>Zoom back to the whole-second scale</source>
        <translation>Voltar à escala de segundos inteiros</translation>
    </message>
    <message>
        <source>Zoom round the pointer</source>
        <translation>Ampliar em torno do ponteiro</translation>
    </message>
    <message>
        <source>Not snapped: the beats are still being found</source>
        <translation>Sem encaixe: as batidas ainda estão sendo procuradas</translation>
    </message>
    <message>
        <source>Not snapped: this song has no steady beat</source>
        <translation>Sem encaixe: esta música não tem batida regular</translation>
    </message>
    <message>
        <source>Nothing to suggest: the song has no sound</source>
        <translation>Nada a sugerir: a música não tem som</translation>
    </message>
    <message>
        <source>Suggested: the chorus at %1</source>
        <translation>Sugerido: o refrão em %1</translation>
    </message>
    <message>
        <source>Nothing repeats: suggested the strongest stretch at %1</source>
        <translation>Nada se repete: sugerido o trecho mais forte em %1</translation>
    </message>
    <message>
        <source>Not suggested yet: the song is still being analysed</source>
        <translation>Ainda sem sugestão: a música ainda está sendo analisada</translation>
    </message>
    <message>
        <source>Snap to the beat on / off</source>
        <translation>Encaixar na batida liga / desliga</translation>
    </message>
    <message>
        <source>Suggest a ringtone (the chorus)</source>
        <translation>Sugerir um toque (o refrão)</translation>
    </message>
</context>
<context>
    <name>Phone</name>
    <message>
        <source>No paired phone named &quot;%1&quot; is reachable (reachable: %2).</source>
        <translation>Nenhum celular pareado chamado &quot;%1&quot; está ao alcance (ao alcance: %2).</translation>
    </message>
    <message>
        <source>%1 does not take files: switch on its &quot;Share and receive&quot; plugin in KDE Connect.</source>
        <translation>%1 não aceita arquivos: ative o plugin &quot;Compartilhar e receber&quot; dele no KDE Connect.</translation>
    </message>
    <message>
        <source>Cannot send %1: the file is not there any more.</source>
        <translation>Não é possível enviar %1: o arquivo não existe mais.</translation>
    </message>
    <message>
        <source>Cannot send %1: it is not a file.</source>
        <translation>Não é possível enviar %1: não é um arquivo.</translation>
    </message>
    <message>
        <source>Cannot send %1: it cannot be read.</source>
        <translation>Não é possível enviar %1: não pode ser lido.</translation>
    </message>
    <message>
        <source>KDE Connect could not be started: %1</source>
        <translation>Não foi possível iniciar o KDE Connect: %1</translation>
    </message>
    <message>
        <source>KDE Connect did not answer in time.</source>
        <translation>O KDE Connect não respondeu a tempo.</translation>
    </message>
    <message>
        <source>There is no session bus, so KDE Connect cannot be reached.</source>
        <translation>Não há barramento de sessão, então o KDE Connect não pode ser alcançado.</translation>
    </message>
    <message>
        <source>KDE Connect refused: %1</source>
        <translation>O KDE Connect recusou: %1</translation>
    </message>
    <message>
        <source>Several phones are reachable (%1): name one with --to NAME.</source>
        <translation>Vários celulares estão ao alcance (%1): indique um com --to NAME.</translation>
    </message>
    <message>
        <source>%1 did not take the ringtone: %2</source>
        <translation>%1 não aceitou o toque: %2</translation>
    </message>
    <message>
        <source>Sent to %1</source>
        <translation>Enviado para %1</translation>
    </message>
    <message>
        <source>Looking for the phone ...</source>
        <translation>Procurando o celular ...</translation>
    </message>
    <message>
        <source>Not sent.</source>
        <translation>Não enviado.</translation>
    </message>
    <message>
        <source>Send to phone</source>
        <translation>Enviar para o celular</translation>
    </message>
    <message>
        <source>Which phone should get the ringtone?</source>
        <translation>Qual celular deve receber o toque?</translation>
    </message>
    <message>
        <source>KDE Connect is not installed, so the ringtone cannot go to a phone. Install it with: sudo apt install kdeconnect</source>
        <translation>O KDE Connect não está instalado, então o toque não pode ir para nenhum celular. Instale-o com: sudo apt install kdeconnect</translation>
    </message>
    <message>
        <source>No paired phone is reachable. Pair the phone in KDE Connect and keep it on the same network.</source>
        <translation>Nenhum celular pareado está ao alcance. Pareie o celular no KDE Connect e mantenha-o na mesma rede.</translation>
    </message>
</context>
<context>
    <name>RingtoneTypes</name>
    <message>
        <source>Mp3 Music File</source>
        <translation>Arquivo de música MP3</translation>
    </message>
    <message>
        <source>AMR Ringtone</source>
        <translation>Toque AMR</translation>
    </message>
    <message>
        <source>iPhone Ringtone</source>
        <translation>Toque de iPhone</translation>
    </message>
    <message>
        <source>Android Ringtone</source>
        <translation>Toque de Android</translation>
    </message>
    <message>
        <source>an MP3 ringtone</source>
        <translation>um toque MP3</translation>
    </message>
    <message>
        <source>an AMR ringtone</source>
        <translation>um toque AMR</translation>
    </message>
    <message>
        <source>an iPhone ringtone</source>
        <translation>um toque de iPhone</translation>
    </message>
    <message>
        <source>an Android ringtone</source>
        <translation>um toque de Android</translation>
    </message>
</context>
<context>
    <name>Skin</name>
    <message>
        <source>Play</source>
        <translation>Tocar</translation>
    </message>
    <message>
        <source>Mark start</source>
        <translation>Marcar início</translation>
    </message>
    <message>
        <source>Mark end</source>
        <translation>Marcar fim</translation>
    </message>
    <message>
        <source>Play the selected segment</source>
        <translation>Tocar a seleção</translation>
    </message>
    <message>
        <source>Extend left</source>
        <translation>Estender à esquerda</translation>
    </message>
    <message>
        <source>Extend right</source>
        <translation>Estender à direita</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pausar</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Opções</translation>
    </message>
    <message>
        <source>OPEN</source>
        <translation>ABRIR</translation>
    </message>
    <message>
        <source>SAVE</source>
        <translation>SALVAR</translation>
    </message>
    <message>
        <source>RINGTONE FILE</source>
        <translation>ARQUIVO DE TOQUE</translation>
    </message>
    <message>
        <source>Audio Information</source>
        <translation>Informações de áudio</translation>
    </message>
    <message>
        <source>Selected Segment Info</source>
        <translation>Trecho selecionado</translation>
    </message>
    <message>
        <source>Cut your favourite song into a ringtone</source>
        <translation>Transforme sua música favorita em toque</translation>
    </message>
    <message>
        <source>Open a music file to begin  ▸</source>
        <translation>Abra um arquivo de música  ▸</translation>
    </message>
    <message>
        <source>Turn your favourite songs into</source>
        <translation>Transforme suas músicas favoritas em</translation>
    </message>
    <message>
        <source>MP3 and AMR ringtones for your phone.</source>
        <translation>toques MP3 e AMR para o seu telefone.</translation>
    </message>
    <message>
        <source>© 2026 Velumo Soft. All rights reserved.</source>
        <translation>© 2026 Velumo Soft. Todos os direitos reservados.</translation>
    </message>
</context>
<context>
    <name>TMainForm</name>
    <message>
        <source>Fade in</source>
        <translation>Aparecer gradualmente</translation>
    </message>
    <message>
        <source>Fade out</source>
        <translation>Desaparecer gradualmente</translation>
    </message>
    <message>
        <source>Match phone loudness</source>
        <translation>Igualar o volume do telefone</translation>
    </message>
    <message>
        <source>Show the real sound</source>
        <translation>Mostrar o som real</translation>
    </message>
    <message>
        <source>Keys…</source>
        <translation>Teclas…</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Sobre</translation>
    </message>
    <message>
        <source>Loudness could not be measured</source>
        <translation>Não foi possível medir o volume</translation>
    </message>
    <message>
        <source>Send to phone</source>
        <translation>Enviar para o celular</translation>
    </message>
    <message>
        <source>Snap to the beat</source>
        <translation>Encaixar na batida</translation>
    </message>
    <message>
        <source>Suggest a ringtone</source>
        <translation>Sugerir um toque</translation>
    </message>
</context>
<context>
    <name>WorkFolder</name>
    <message>
        <source>Cannot examine the work folder %1: %2</source>
        <translation>Não é possível examinar a pasta de trabalho %1: %2</translation>
    </message>
    <message>
        <source>Cannot create the work folder %1: %2</source>
        <translation>Não é possível criar a pasta de trabalho %1: %2</translation>
    </message>
    <message>
        <source>The work folder %1 is a symbolic link.</source>
        <translation>A pasta de trabalho %1 é um link simbólico.</translation>
    </message>
    <message>
        <source>The work folder %1 is not a folder.</source>
        <translation>A pasta de trabalho %1 não é uma pasta.</translation>
    </message>
    <message>
        <source>The work folder %1 belongs to another user.</source>
        <translation>A pasta de trabalho %1 pertence a outro usuário.</translation>
    </message>
    <message>
        <source>The work folder %1 can be written by other users.</source>
        <translation>Outros usuários podem gravar na pasta de trabalho %1.</translation>
    </message>
    <message>
        <source>The work folder %1 cannot be read (%2).</source>
        <translation>A pasta de trabalho %1 não pode ser lida (%2).</translation>
    </message>
    <message>
        <source>The work folder %1 cannot be written (%2).</source>
        <translation>A pasta de trabalho %1 não pode ser gravada (%2).</translation>
    </message>
</context>
</TS>
