<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt" sourcelanguage="en">
<context>
    <name>CBaseTitleBar</name>
    <message>
        <location filename="../../app/widgets/cbasetitlebar.cpp" line="53"/>
        <source>Title</source>
        <translation>Título</translation>
    </message>
</context>
<context>
    <name>CDialogToast</name>
    <message>
        <location filename="../../app/widgets/cdialogtoast.cpp" line="40"/>
        <source>Text</source>
        <translation>Texto</translation>
    </message>
</context>
<context>
    <name>CTitleBar</name>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="95"/>
        <source>Minimize</source>
        <translation>Minimizar</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="96"/>
        <source>Maximize</source>
        <translation>Maximizar</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="97"/>
        <source>Close</source>
        <translation>Fechar</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="98"/>
        <source>Normal</source>
        <translation>Restaurar</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="100"/>
        <source>Settings</source>
        <translation>Configurações</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="101"/>
        <source>Alt+S</source>
        <translation>Alt+S</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="102"/>
        <source>Upgrade</source>
        <translation>Atualização</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="103"/>
        <source>Alt+U</source>
        <translation>Alt+U</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="104"/>
        <source>About</source>
        <translation>Sobre</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="105"/>
        <source>Alt+A</source>
        <translation>Alt+A</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="106"/>
        <source>Save</source>
        <translation>Salvar</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="107"/>
        <source>Ctrl+S</source>
        <translation>Ctrl+S</translation>
    </message>
</context>
<context>
    <name>CWidgetAbout</name>
    <message>
        <location filename="../../app/widgets/cwidgetabout.cpp" line="28"/>
        <location filename="../../app/widgets/cwidgetabout.cpp" line="59"/>
        <source>About</source>
        <translation>Sobre</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetabout.cpp" line="60"/>
        <source>SN</source>
        <translation>Nº de série</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetabout.cpp" line="61"/>
        <source>Module ID</source>
        <translation>ID do módulo</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetabout.cpp" line="62"/>
        <source>Firmware version</source>
        <translation>Versão do firmware</translation>
    </message>
</context>
<context>
    <name>CWidgetSettings</name>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="117"/>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="207"/>
        <source>Settings</source>
        <translation>Configurações</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="208"/>
        <source>Color</source>
        <translation>Paleta de cores</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="209"/>
        <source>Distance</source>
        <translation>Distância</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="210"/>
        <source>dm</source>
        <translation>dm</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="211"/>
        <source>Emissivity</source>
        <translation>Emissividade</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="212"/>
        <source>%</source>
        <translation>%</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="213"/>
        <source>Temperature unit</source>
        <translation>Unidade de temperatura</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="214"/>
        <source>℃</source>
        <translation>℃</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="215"/>
        <source>℉</source>
        <translation>℉</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="223"/>
        <source>Scale…</source>
        <translation>Escala…</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="216"/>
        <source>Restore defaults</source>
        <translation>Restaurar padrões</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="217"/>
        <source>Save</source>
        <translation>Salvar</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp"/>
        <source>Enter a distance from %1 to %2 dm.</source>
        <translation>Introduza uma distância de %1 a %2 dm.</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp"/>
        <source>Enter an emissivity from %1 to %2 %.</source>
        <translation>Introduza uma emissividade de %1 a %2 %.</translation>
    </message>
</context>
<context>
    <name>PictureReading</name>
    <message>
        <location filename="../../reading/colourscalebar.cpp" line="58"/>
        <location filename="../../reading/scaledialog.cpp" line="54"/>
        <source>Manual</source>
        <translation>Manual</translation>
    </message>
    <message>
        <location filename="../../reading/colourscalebar.cpp" line="59"/>
        <location filename="../../reading/scaledialog.cpp" line="53"/>
        <source>Auto</source>
        <translation>Automático</translation>
    </message>
    <message>
        <location filename="../../reading/colourscalebar.cpp" line="60"/>
        <location filename="../../reading/scaledialog.cpp" line="49"/>
        <source>Temperature scale</source>
        <translation>Escala de temperatura</translation>
    </message>
    <message>
        <location filename="../../reading/picturereading.cpp" line="25"/>
        <source>Alarm: above %1</source>
        <translation>Alarme: acima de %1</translation>
    </message>
    <message>
        <location filename="../../reading/picturereading.cpp" line="26"/>
        <source>Alarm: below %1</source>
        <translation>Alarme: abaixo de %1</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="58"/>
        <source>Hot and cold markers</source>
        <translation>Marcadores de quente e frio</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="61"/>
        <source>Off</source>
        <translation>Desligado</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="62"/>
        <source>Above</source>
        <translation>Acima</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="63"/>
        <source>Below</source>
        <translation>Abaixo</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="72"/>
        <source>Span</source>
        <translation>Intervalo</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="73"/>
        <source>Low</source>
        <translation>Mínimo</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="74"/>
        <source>High</source>
        <translation>Máximo</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="76"/>
        <source>Isotherm alarm</source>
        <translation>Alarme de isoterma</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="77"/>
        <source>Threshold</source>
        <translation>Limite</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="79"/>
        <source>Save</source>
        <translation>Salvar</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="80"/>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="121"/>
        <location filename="../../reading/scaledialog.cpp" line="129"/>
        <source>Please enter a number.</source>
        <translation>Digite um número.</translation>
    </message>
    <message>
        <location filename="../../reading/scalesettings.cpp" line="50"/>
        <source>Temperatures must lie between %1 and %2.</source>
        <translation>As temperaturas devem estar entre %1 e %2.</translation>
    </message>
    <message>
        <location filename="../../reading/scalesettings.cpp" line="152"/>
        <source>The low temperature must be below the high temperature.</source>
        <translation>A temperatura mínima deve ser inferior à máxima.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <location filename="../../app/mainwindow/main.cpp" line="59"/>
        <source>Thermal imager program is running!</source>
        <translation>O programa da câmera térmica já está em execução!</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/main.cpp" line="69"/>
        <source>Loading...</source>
        <translation>Carregando...</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/main.cpp" line="76"/>
        <source>Done</source>
        <translation>Concluído</translation>
    </message>
    <message>
        <source>Exported to %1</source>
        <translation>Exportado para %1</translation>
    </message>
    <message>
        <source>Export failed: %1</source>
        <translation>Falha na exportação: %1</translation>
    </message>
    <message>
        <source>There is no picture to export yet.</source>
        <translation>Ainda não há imagem para exportar.</translation>
    </message>
    <message>
        <source>No temperature data yet, please try again!</source>
        <translation>Ainda não há dados de temperatura. Tente novamente!</translation>
    </message>
</context>
<context>
    <name>ThermalImager</name>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="430"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="438"/>
        <source>No device found, please connect the device!</source>
        <translation>Nenhum dispositivo encontrado. Conecte o dispositivo!</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="469"/>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="492"/>
        <source>No data, please connect the device!</source>
        <translation>Sem dados. Conecte o dispositivo!</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="495"/>
        <source>Save</source>
        <translation>Salvar</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="495"/>
        <source>Save current temperature matrix?</source>
        <translation>Salvar a matriz de temperatura atual?</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="500"/>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="509"/>
        <source>Save failed!</source>
        <translation>Falha ao salvar!</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="505"/>
        <source>No temperature data yet, please try again!</source>
        <translation>Ainda não há dados de temperatura. Tente novamente!</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="509"/>
        <source>Saved successfully!</source>
        <translation>Salvo com sucesso!</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="535"/>
        <source>Saved to %1</source>
        <translation>Salvo em %1</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="514"/>
        <source>Upgrade</source>
        <translation>Atualizar</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="514"/>
        <source>Do you need to upgrade firmware?</source>
        <translation>Deseja atualizar o firmware?</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="539"/>
        <source>Start firmware upgrade...</source>
        <translation>Iniciando a atualização do firmware...</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="546"/>
        <source>The firmware download is completed. 
Please do not power off. 
Please wait patiently for the upgrade to complete!</source>
        <translation>O download do firmware foi concluído. 
Não desligue o dispositivo. 
Aguarde a conclusão da atualização!</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="549"/>
        <source>Firmware upgrade failed!</source>
        <translation>Falha na atualização do firmware!</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp"/>
        <source>The camera did not accept the saved distance, emissivity or range.</source>
        <translation>A câmara não aceitou a distância, a emissividade ou a gama guardadas.</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp"/>
        <source>No camera connected</source>
        <translation>Nenhuma câmara ligada</translation>
    </message>
</context>
<context>
    <name>ThermalImagerClass</name>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="113"/>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="172"/>
        <source>Thermal Imager</source>
        <translation>Câmera térmica</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="173"/>
        <source>Spot</source>
        <translation>Ponto</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="174"/>
        <source>Line</source>
        <translation>Linha</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="175"/>
        <source>Square</source>
        <translation>Retângulo</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="176"/>
        <source>Delete</source>
        <translation>Excluir</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="177"/>
        <source>Normal Temperature</source>
        <translation>Temperatura normal</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="178"/>
        <source>High Temperature</source>
        <translation>Alta temperatura</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="179"/>
        <source>Refresh</source>
        <translation>Atualizar</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="180"/>
        <source>Rotate</source>
        <translation>Girar</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="181"/>
        <source>Temperature profile</source>
        <translation>Curva de temperatura</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="182"/>
        <source>Max 100℃</source>
        <translation>Max 100℃</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="183"/>
        <source>Min 50℃</source>
        <translation>Min 50℃</translation>
    </message>
</context>
<context>
    <name>ExportButton</name>
    <message>
        <source>Export</source>
        <translation>Exportar</translation>
    </message>
    <message>
        <source>Ctrl+E</source>
        <translation>Ctrl+E</translation>
    </message>
    <message>
        <source>Picture as seen (PNG)...</source>
        <translation>Imagem como exibida (PNG)...</translation>
    </message>
    <message>
        <source>Temperatures, 16-bit (TIFF)...</source>
        <translation>Temperaturas, 16 bits (TIFF)...</translation>
    </message>
    <message>
        <source>Temperatures as text (CSV)...</source>
        <translation>Temperaturas como texto (CSV)...</translation>
    </message>
</context>
<context>
    <name>Recorder</name>
    <message>
        <source>A recording is already running.</source>
        <translation>Já existe uma gravação em curso.</translation>
    </message>
    <message>
        <source>No camera picture to record.</source>
        <translation>Não há imagem da câmara para gravar.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Não é possível escrever %1: %2</translation>
    </message>
</context>
<context>
    <name>RecordingErrors</name>
    <message>
        <source>The file cannot be opened or created.</source>
        <translation>Não é possível abrir nem criar o ficheiro.</translation>
    </message>
    <message>
        <source>This file is not an Ombrix recording, or it is damaged.</source>
        <translation>Este ficheiro não é uma gravação do Ombrix ou está danificado.</translation>
    </message>
    <message>
        <source>The recording has another frame size than this camera.</source>
        <translation>A gravação tem um tamanho de imagem diferente desta câmara.</translation>
    </message>
    <message>
        <source>Writing failed (is the disk full?). The file keeps every frame up to the last whole one.</source>
        <translation>A escrita falhou (o disco está cheio?). O ficheiro mantém todas as imagens até à última completa.</translation>
    </message>
    <message>
        <source>A frame of the recording cannot be read.</source>
        <translation>Não é possível ler uma imagem da gravação.</translation>
    </message>
    <message>
        <source>The recording failed (error %1).</source>
        <translation>A gravação falhou (erro %1).</translation>
    </message>
</context>
<context>
    <name>RecordingControls</name>
    <message>
        <source>Open recording</source>
        <translation>Abrir gravação</translation>
    </message>
    <message>
        <source>Ctrl+R</source>
        <translation>Ctrl+R</translation>
    </message>
    <message>
        <source>Record the picture and its temperatures (Ctrl+R)</source>
        <translation>Gravar a imagem e as suas temperaturas (Ctrl+R)</translation>
    </message>
    <message>
        <source>Play a recording as the picture source</source>
        <translation>Reproduzir uma gravação como fonte de imagem</translation>
    </message>
    <message>
        <source>Stop %1</source>
        <translation>Parar %1</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>Gravar</translation>
    </message>
</context>
<context>
    <name>PlaybackBar</name>
    <message>
        <source>Back to the camera</source>
        <translation>Voltar à câmara</translation>
    </message>
    <message>
        <source>One frame back (Left)</source>
        <translation>Uma imagem atrás (Esquerda)</translation>
    </message>
    <message>
        <source>One frame on (Right)</source>
        <translation>Uma imagem à frente (Direita)</translation>
    </message>
    <message>
        <source>Position in the recording</source>
        <translation>Posição na gravação</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pausa</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Reproduzir</translation>
    </message>
</context>
<context>
    <name>RecordingSession</name>
    <message>
        <source>Recording saved: %1</source>
        <translation>Gravação guardada: %1</translation>
    </message>
    <message>
        <source>Recording stopped. %1</source>
        <translation>Gravação parada. %1</translation>
    </message>
    <message>
        <source>No device found, please connect the device!</source>
        <translation>Nenhum dispositivo encontrado, ligue o dispositivo!</translation>
    </message>
    <message>
        <source>Recording could not start. %1</source>
        <translation>Não foi possível iniciar a gravação. %1</translation>
    </message>
    <message>
        <source>The camera was unplugged: the recording ends here and is kept.</source>
        <translation>A câmara foi desligada: a gravação termina aqui e é mantida.</translation>
    </message>
    <message>
        <source>%1 cannot be played. %2</source>
        <translation>Não é possível reproduzir %1. %2</translation>
    </message>
    <message>
        <source>Open recording</source>
        <translation>Abrir gravação</translation>
    </message>
    <message>
        <source>Recordings (*.mkv)</source>
        <translation>Gravações (*.mkv)</translation>
    </message>
</context>
</TS>
