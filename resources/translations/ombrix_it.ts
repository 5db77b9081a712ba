<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it" sourcelanguage="en">
<context>
    <name>CBaseTitleBar</name>
    <message>
        <location filename="../../app/widgets/cbasetitlebar.cpp" line="53"/>
        <source>Title</source>
        <translation>Titolo</translation>
    </message>
</context>
<context>
    <name>CDialogToast</name>
    <message>
        <location filename="../../app/widgets/cdialogtoast.cpp" line="40"/>
        <source>Text</source>
        <translation>Testo</translation>
    </message>
</context>
<context>
    <name>CTitleBar</name>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="95"/>
        <source>Minimize</source>
        <translation>Riduci a icona</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="96"/>
        <source>Maximize</source>
        <translation>Ingrandisci</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="97"/>
        <source>Close</source>
        <translation>Chiudi</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="98"/>
        <source>Normal</source>
        <translation>Ripristina</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="100"/>
        <source>Settings</source>
        <translation>Impostazioni</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="101"/>
        <source>Alt+S</source>
        <translation>Alt+S</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="102"/>
        <source>Upgrade</source>
        <translation>Aggiornamento</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="103"/>
        <source>Alt+U</source>
        <translation>Alt+U</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="104"/>
        <source>About</source>
        <translation>Informazioni</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="105"/>
        <source>Alt+A</source>
        <translation>Alt+A</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="106"/>
        <source>Save</source>
        <translation>Salva</translation>
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
        <translation>Informazioni</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetabout.cpp" line="60"/>
        <source>SN</source>
        <translation>N. di serie</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetabout.cpp" line="61"/>
        <source>Module ID</source>
        <translation>ID modulo</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetabout.cpp" line="62"/>
        <source>Firmware version</source>
        <translation>Versione firmware</translation>
    </message>
</context>
<context>
    <name>CWidgetSettings</name>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="117"/>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="207"/>
        <source>Settings</source>
        <translation>Impostazioni</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="208"/>
        <source>Color</source>
        <translation>Tavolozza colori</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="209"/>
        <source>Distance</source>
        <translation>Distanza</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="210"/>
        <source>dm</source>
        <translation>dm</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="211"/>
        <source>Emissivity</source>
        <translation>Emissività</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="212"/>
        <source>%</source>
        <translation>%</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="213"/>
        <source>Temperature unit</source>
        <translation>Unità di temperatura</translation>
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
        <translation>Scala…</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="216"/>
        <source>Restore defaults</source>
        <translation>Ripristina predefiniti</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="217"/>
        <source>Save</source>
        <translation>Salva</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp"/>
        <source>Enter a distance from %1 to %2 dm.</source>
        <translation>Inserire una distanza da %1 a %2 dm.</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp"/>
        <source>Enter an emissivity from %1 to %2 %.</source>
        <translation>Inserire un&apos;emissività da %1 a %2 %.</translation>
    </message>
</context>
<context>
    <name>PictureReading</name>
    <message>
        <location filename="../../reading/colourscalebar.cpp" line="58"/>
        <location filename="../../reading/scaledialog.cpp" line="54"/>
        <source>Manual</source>
        <translation>Manuale</translation>
    </message>
    <message>
        <location filename="../../reading/colourscalebar.cpp" line="59"/>
        <location filename="../../reading/scaledialog.cpp" line="53"/>
        <source>Auto</source>
        <translation>Automatico</translation>
    </message>
    <message>
        <location filename="../../reading/colourscalebar.cpp" line="60"/>
        <location filename="../../reading/scaledialog.cpp" line="49"/>
        <source>Temperature scale</source>
        <translation>Scala di temperatura</translation>
    </message>
    <message>
        <location filename="../../reading/picturereading.cpp" line="25"/>
        <source>Alarm: above %1</source>
        <translation>Allarme: sopra %1</translation>
    </message>
    <message>
        <location filename="../../reading/picturereading.cpp" line="26"/>
        <source>Alarm: below %1</source>
        <translation>Allarme: sotto %1</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="58"/>
        <source>Hot and cold markers</source>
        <translation>Indicatori del punto caldo e freddo</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="61"/>
        <source>Off</source>
        <translation>Disattivato</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="62"/>
        <source>Above</source>
        <translation>Sopra</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="63"/>
        <source>Below</source>
        <translation>Sotto</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="72"/>
        <source>Span</source>
        <translation>Intervallo</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="73"/>
        <source>Low</source>
        <translation>Minimo</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="74"/>
        <source>High</source>
        <translation>Massimo</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="76"/>
        <source>Isotherm alarm</source>
        <translation>Allarme isoterma</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="77"/>
        <source>Threshold</source>
        <translation>Soglia</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="79"/>
        <source>Save</source>
        <translation>Salva</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="80"/>
        <source>Cancel</source>
        <translation>Annulla</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="121"/>
        <location filename="../../reading/scaledialog.cpp" line="129"/>
        <source>Please enter a number.</source>
        <translation>Inserire un numero.</translation>
    </message>
    <message>
        <location filename="../../reading/scalesettings.cpp" line="50"/>
        <source>Temperatures must lie between %1 and %2.</source>
        <translation>Le temperature devono essere comprese tra %1 e %2.</translation>
    </message>
    <message>
        <location filename="../../reading/scalesettings.cpp" line="152"/>
        <source>The low temperature must be below the high temperature.</source>
        <translation>La temperatura minima deve essere inferiore alla massima.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <location filename="../../app/mainwindow/main.cpp" line="59"/>
        <source>Thermal imager program is running!</source>
        <translation>Il programma della termocamera è già in esecuzione!</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/main.cpp" line="69"/>
        <source>Loading...</source>
        <translation>Caricamento...</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/main.cpp" line="76"/>
        <source>Done</source>
        <translation>Fatto</translation>
    </message>
    <message>
        <source>Exported to %1</source>
        <translation>Esportato in %1</translation>
    </message>
    <message>
        <source>Export failed: %1</source>
        <translation>Esportazione non riuscita: %1</translation>
    </message>
    <message>
        <source>There is no picture to export yet.</source>
        <translation>Non c&apos;è ancora un&apos;immagine da esportare.</translation>
    </message>
    <message>
        <source>No temperature data yet, please try again!</source>
        <translation>Nessun dato di temperatura disponibile, riprovare!</translation>
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
        <translation>Nessun dispositivo trovato, collegare il dispositivo!</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="469"/>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="492"/>
        <source>No data, please connect the device!</source>
        <translation>Nessun dato, collegare il dispositivo!</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="495"/>
        <source>Save</source>
        <translation>Salva</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="495"/>
        <source>Save current temperature matrix?</source>
        <translation>Salvare la matrice di temperatura corrente?</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="500"/>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="509"/>
        <source>Save failed!</source>
        <translation>Salvataggio non riuscito!</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="505"/>
        <source>No temperature data yet, please try again!</source>
        <translation>Nessun dato di temperatura disponibile, riprovare!</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="509"/>
        <source>Saved successfully!</source>
        <translation>Salvataggio riuscito!</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="535"/>
        <source>Saved to %1</source>
        <translation>Salvato in %1</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="514"/>
        <source>Upgrade</source>
        <translation>Aggiorna</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="514"/>
        <source>Do you need to upgrade firmware?</source>
        <translation>Aggiornare il firmware?</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="539"/>
        <source>Start firmware upgrade...</source>
        <translation>Avvio dell&apos;aggiornamento del firmware...</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="546"/>
        <source>The firmware download is completed. 
Please do not power off. 
Please wait patiently for the upgrade to complete!</source>
        <translation>Il download del firmware è completato. 
Non spegnere il dispositivo. 
Attendere il completamento dell&apos;aggiornamento!</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="549"/>
        <source>Firmware upgrade failed!</source>
        <translation>Aggiornamento del firmware non riuscito!</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp"/>
        <source>The camera did not accept the saved distance, emissivity or range.</source>
        <translation>La termocamera non ha accettato la distanza, l&apos;emissività o l&apos;intervallo salvati.</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp"/>
        <source>No camera connected</source>
        <translation>Nessuna termocamera collegata</translation>
    </message>
</context>
<context>
    <name>ThermalImagerClass</name>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="113"/>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="172"/>
        <source>Thermal Imager</source>
        <translation>Termocamera</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="173"/>
        <source>Spot</source>
        <translation>Punto</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="174"/>
        <source>Line</source>
        <translation>Linea</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="175"/>
        <source>Square</source>
        <translation>Rettangolo</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="176"/>
        <source>Delete</source>
        <translation>Elimina</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="177"/>
        <source>Normal Temperature</source>
        <translation>Temperatura normale</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="178"/>
        <source>High Temperature</source>
        <translation>Alta temperatura</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="179"/>
        <source>Refresh</source>
        <translation>Aggiorna</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="180"/>
        <source>Rotate</source>
        <translation>Ruota</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="181"/>
        <source>Temperature profile</source>
        <translation>Andamento della temperatura</translation>
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
        <translation>Esporta</translation>
    </message>
    <message>
        <source>Ctrl+E</source>
        <translation>Ctrl+E</translation>
    </message>
    <message>
        <source>Picture as seen (PNG)...</source>
        <translation>Immagine come visualizzata (PNG)...</translation>
    </message>
    <message>
        <source>Temperatures, 16-bit (TIFF)...</source>
        <translation>Temperature, 16 bit (TIFF)...</translation>
    </message>
    <message>
        <source>Temperatures as text (CSV)...</source>
        <translation>Temperature come testo (CSV)...</translation>
    </message>
</context>
<context>
    <name>Recorder</name>
    <message>
        <source>A recording is already running.</source>
        <translation>È già in corso una registrazione.</translation>
    </message>
    <message>
        <source>No camera picture to record.</source>
        <translation>Nessuna immagine della fotocamera da registrare.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Impossibile scrivere %1: %2</translation>
    </message>
</context>
<context>
    <name>RecordingErrors</name>
    <message>
        <source>The file cannot be opened or created.</source>
        <translation>Impossibile aprire o creare il file.</translation>
    </message>
    <message>
        <source>This file is not an Ombrix recording, or it is damaged.</source>
        <translation>Questo file non è una registrazione Ombrix oppure è danneggiato.</translation>
    </message>
    <message>
        <source>The recording has another frame size than this camera.</source>
        <translation>La registrazione ha una dimensione dei fotogrammi diversa da questa fotocamera.</translation>
    </message>
    <message>
        <source>Writing failed (is the disk full?). The file keeps every frame up to the last whole one.</source>
        <translation>Scrittura non riuscita (il disco è pieno?). Il file conserva tutti i fotogrammi fino all'ultimo completo.</translation>
    </message>
    <message>
        <source>A frame of the recording cannot be read.</source>
        <translation>Impossibile leggere un fotogramma della registrazione.</translation>
    </message>
    <message>
        <source>The recording failed (error %1).</source>
        <translation>La registrazione non è riuscita (errore %1).</translation>
    </message>
</context>
<context>
    <name>RecordingControls</name>
    <message>
        <source>Open recording</source>
        <translation>Apri registrazione</translation>
    </message>
    <message>
        <source>Ctrl+R</source>
        <translation>Ctrl+R</translation>
    </message>
    <message>
        <source>Record the picture and its temperatures (Ctrl+R)</source>
        <translation>Registra l'immagine e le sue temperature (Ctrl+R)</translation>
    </message>
    <message>
        <source>Play a recording as the picture source</source>
        <translation>Riproduci una registrazione come sorgente dell'immagine</translation>
    </message>
    <message>
        <source>Stop %1</source>
        <translation>Ferma %1</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>Registra</translation>
    </message>
</context>
<context>
    <name>PlaybackBar</name>
    <message>
        <source>Back to the camera</source>
        <translation>Torna alla fotocamera</translation>
    </message>
    <message>
        <source>One frame back (Left)</source>
        <translation>Un fotogramma indietro (Sinistra)</translation>
    </message>
    <message>
        <source>One frame on (Right)</source>
        <translation>Un fotogramma avanti (Destra)</translation>
    </message>
    <message>
        <source>Position in the recording</source>
        <translation>Posizione nella registrazione</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pausa</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Riproduci</translation>
    </message>
</context>
<context>
    <name>RecordingSession</name>
    <message>
        <source>Recording saved: %1</source>
        <translation>Registrazione salvata: %1</translation>
    </message>
    <message>
        <source>Recording stopped. %1</source>
        <translation>Registrazione interrotta. %1</translation>
    </message>
    <message>
        <source>No device found, please connect the device!</source>
        <translation>Nessun dispositivo trovato, collegare il dispositivo!</translation>
    </message>
    <message>
        <source>Recording could not start. %1</source>
        <translation>Impossibile avviare la registrazione. %1</translation>
    </message>
    <message>
        <source>The camera was unplugged: the recording ends here and is kept.</source>
        <translation>La fotocamera è stata scollegata: la registrazione termina qui e viene conservata.</translation>
    </message>
    <message>
        <source>%1 cannot be played. %2</source>
        <translation>Impossibile riprodurre %1. %2</translation>
    </message>
    <message>
        <source>Open recording</source>
        <translation>Apri registrazione</translation>
    </message>
    <message>
        <source>Recordings (*.mkv)</source>
        <translation>Registrazioni (*.mkv)</translation>
    </message>
</context>
</TS>
