<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>CBaseTitleBar</name>
    <message>
        <location filename="../../app/widgets/cbasetitlebar.cpp" line="53"/>
        <source>Title</source>
        <translation>Titel</translation>
    </message>
</context>
<context>
    <name>CDialogToast</name>
    <message>
        <location filename="../../app/widgets/cdialogtoast.cpp" line="40"/>
        <source>Text</source>
        <translation>Text</translation>
    </message>
</context>
<context>
    <name>CTitleBar</name>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="95"/>
        <source>Minimize</source>
        <translation>Minimieren</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="96"/>
        <source>Maximize</source>
        <translation>Maximieren</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="97"/>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="98"/>
        <source>Normal</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="100"/>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="101"/>
        <source>Alt+S</source>
        <translation>Alt+S</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="102"/>
        <source>Upgrade</source>
        <translation>Aktualisierung</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="103"/>
        <source>Alt+U</source>
        <translation>Alt+U</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="104"/>
        <source>About</source>
        <translation>Info</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="105"/>
        <source>Alt+A</source>
        <translation>Alt+A</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="106"/>
        <source>Save</source>
        <translation>Speichern</translation>
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
        <translation>Info</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetabout.cpp" line="60"/>
        <source>SN</source>
        <translation>Seriennummer</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetabout.cpp" line="61"/>
        <source>Module ID</source>
        <translation>Modul-ID</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetabout.cpp" line="62"/>
        <source>Firmware version</source>
        <translation>Firmware-Version</translation>
    </message>
</context>
<context>
    <name>CWidgetSettings</name>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="117"/>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="207"/>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="208"/>
        <source>Color</source>
        <translation>Farbpalette</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="209"/>
        <source>Distance</source>
        <translation>Entfernung</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="210"/>
        <source>dm</source>
        <translation>dm</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="211"/>
        <source>Emissivity</source>
        <translation>Emissionsgrad</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="212"/>
        <source>%</source>
        <translation>%</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="213"/>
        <source>Temperature unit</source>
        <translation>Temperatureinheit</translation>
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
        <translation>Skala…</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="216"/>
        <source>Restore defaults</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="217"/>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp"/>
        <source>Enter a distance from %1 to %2 dm.</source>
        <translation>Geben Sie eine Entfernung von %1 bis %2 dm ein.</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp"/>
        <source>Enter an emissivity from %1 to %2 %.</source>
        <translation>Geben Sie einen Emissionsgrad von %1 bis %2 % ein.</translation>
    </message>
</context>
<context>
    <name>PictureReading</name>
    <message>
        <location filename="../../reading/colourscalebar.cpp" line="58"/>
        <location filename="../../reading/scaledialog.cpp" line="54"/>
        <source>Manual</source>
        <translation>Manuell</translation>
    </message>
    <message>
        <location filename="../../reading/colourscalebar.cpp" line="59"/>
        <location filename="../../reading/scaledialog.cpp" line="53"/>
        <source>Auto</source>
        <translation>Auto</translation>
    </message>
    <message>
        <location filename="../../reading/colourscalebar.cpp" line="60"/>
        <location filename="../../reading/scaledialog.cpp" line="49"/>
        <source>Temperature scale</source>
        <translation>Temperaturskala</translation>
    </message>
    <message>
        <location filename="../../reading/picturereading.cpp" line="25"/>
        <source>Alarm: above %1</source>
        <translation>Alarm: über %1</translation>
    </message>
    <message>
        <location filename="../../reading/picturereading.cpp" line="26"/>
        <source>Alarm: below %1</source>
        <translation>Alarm: unter %1</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="58"/>
        <source>Hot and cold markers</source>
        <translation>Markierungen für heißeste und kälteste Stelle</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="61"/>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="62"/>
        <source>Above</source>
        <translation>Darüber</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="63"/>
        <source>Below</source>
        <translation>Darunter</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="72"/>
        <source>Span</source>
        <translation>Bereich</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="73"/>
        <source>Low</source>
        <translation>Untergrenze</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="74"/>
        <source>High</source>
        <translation>Obergrenze</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="76"/>
        <source>Isotherm alarm</source>
        <translation>Isothermen-Alarm</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="77"/>
        <source>Threshold</source>
        <translation>Schwelle</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="79"/>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="80"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="121"/>
        <location filename="../../reading/scaledialog.cpp" line="129"/>
        <source>Please enter a number.</source>
        <translation>Bitte eine Zahl eingeben.</translation>
    </message>
    <message>
        <location filename="../../reading/scalesettings.cpp" line="50"/>
        <source>Temperatures must lie between %1 and %2.</source>
        <translation>Die Temperaturen müssen zwischen %1 und %2 liegen.</translation>
    </message>
    <message>
        <location filename="../../reading/scalesettings.cpp" line="152"/>
        <source>The low temperature must be below the high temperature.</source>
        <translation>Die untere Temperatur muss unter der oberen liegen.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <location filename="../../app/mainwindow/main.cpp" line="59"/>
        <source>Thermal imager program is running!</source>
        <translation>Das Wärmebildkamera-Programm läuft bereits!</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/main.cpp" line="69"/>
        <source>Loading...</source>
        <translation>Wird geladen...</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/main.cpp" line="76"/>
        <source>Done</source>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>Exported to %1</source>
        <translation>Exportiert nach %1</translation>
    </message>
    <message>
        <source>Export failed: %1</source>
        <translation>Export fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>There is no picture to export yet.</source>
        <translation>Noch kein Bild zum Exportieren vorhanden.</translation>
    </message>
    <message>
        <source>No temperature data yet, please try again!</source>
        <translation>Noch keine Temperaturdaten. Bitte versuchen Sie es erneut!</translation>
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
        <translation>Kein Gerät gefunden. Bitte schließen Sie das Gerät an!</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="469"/>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="492"/>
        <source>No data, please connect the device!</source>
        <translation>Keine Daten. Bitte schließen Sie das Gerät an!</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="495"/>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="495"/>
        <source>Save current temperature matrix?</source>
        <translation>Aktuelle Temperaturmatrix speichern?</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="500"/>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="509"/>
        <source>Save failed!</source>
        <translation>Speichern fehlgeschlagen!</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="505"/>
        <source>No temperature data yet, please try again!</source>
        <translation>Noch keine Temperaturdaten. Bitte versuchen Sie es erneut!</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="509"/>
        <source>Saved successfully!</source>
        <translation>Erfolgreich gespeichert!</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="535"/>
        <source>Saved to %1</source>
        <translation>Gespeichert unter %1</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="514"/>
        <source>Upgrade</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="514"/>
        <source>Do you need to upgrade firmware?</source>
        <translation>Möchten Sie die Firmware aktualisieren?</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="539"/>
        <source>Start firmware upgrade...</source>
        <translation>Firmware-Aktualisierung wird gestartet...</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="546"/>
        <source>The firmware download is completed. 
Please do not power off. 
Please wait patiently for the upgrade to complete!</source>
        <translation>Die Firmware wurde vollständig übertragen. 
Bitte nicht ausschalten. 
Bitte warten Sie, bis die Aktualisierung abgeschlossen ist!</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="549"/>
        <source>Firmware upgrade failed!</source>
        <translation>Firmware-Aktualisierung fehlgeschlagen!</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp"/>
        <source>The camera did not accept the saved distance, emissivity or range.</source>
        <translation>Die Kamera hat die gespeicherte Entfernung, den Emissionsgrad oder den Messbereich nicht übernommen.</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp"/>
        <source>No camera connected</source>
        <translation>Keine Kamera angeschlossen</translation>
    </message>
</context>
<context>
    <name>ThermalImagerClass</name>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="113"/>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="172"/>
        <source>Thermal Imager</source>
        <translation>Wärmebildkamera</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="173"/>
        <source>Spot</source>
        <translation>Punkt</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="174"/>
        <source>Line</source>
        <translation>Linie</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="175"/>
        <source>Square</source>
        <translation>Rechteck</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="176"/>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="177"/>
        <source>Normal Temperature</source>
        <translation>Normaltemperatur</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="178"/>
        <source>High Temperature</source>
        <translation>Hochtemperatur</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="179"/>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="180"/>
        <source>Rotate</source>
        <translation>Drehen</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="181"/>
        <source>Temperature profile</source>
        <translation>Temperaturverlauf</translation>
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
        <translation>Exportieren</translation>
    </message>
    <message>
        <source>Ctrl+E</source>
        <translation>Ctrl+E</translation>
    </message>
    <message>
        <source>Picture as seen (PNG)...</source>
        <translation>Bild wie angezeigt (PNG)...</translation>
    </message>
    <message>
        <source>Temperatures, 16-bit (TIFF)...</source>
        <translation>Temperaturen, 16 Bit (TIFF)...</translation>
    </message>
    <message>
        <source>Temperatures as text (CSV)...</source>
        <translation>Temperaturen als Text (CSV)...</translation>
    </message>
</context>
<context>
    <name>Recorder</name>
    <message>
        <source>A recording is already running.</source>
        <translation>Es läuft bereits eine Aufnahme.</translation>
    </message>
    <message>
        <source>No camera picture to record.</source>
        <translation>Kein Kamerabild zum Aufnehmen.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
</context>
<context>
    <name>RecordingErrors</name>
    <message>
        <source>The file cannot be opened or created.</source>
        <translation>Die Datei kann nicht geöffnet oder angelegt werden.</translation>
    </message>
    <message>
        <source>This file is not an Ombrix recording, or it is damaged.</source>
        <translation>Diese Datei ist keine Ombrix-Aufnahme oder sie ist beschädigt.</translation>
    </message>
    <message>
        <source>The recording has another frame size than this camera.</source>
        <translation>Die Aufnahme hat eine andere Bildgröße als diese Kamera.</translation>
    </message>
    <message>
        <source>Writing failed (is the disk full?). The file keeps every frame up to the last whole one.</source>
        <translation>Schreiben fehlgeschlagen (ist der Datenträger voll?). Die Datei behält alle Bilder bis zum letzten vollständigen.</translation>
    </message>
    <message>
        <source>A frame of the recording cannot be read.</source>
        <translation>Ein Bild der Aufnahme kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>The recording failed (error %1).</source>
        <translation>Die Aufnahme ist fehlgeschlagen (Fehler %1).</translation>
    </message>
</context>
<context>
    <name>RecordingControls</name>
    <message>
        <source>Open recording</source>
        <translation>Aufnahme öffnen</translation>
    </message>
    <message>
        <source>Ctrl+R</source>
        <translation>Ctrl+R</translation>
    </message>
    <message>
        <source>Record the picture and its temperatures (Ctrl+R)</source>
        <translation>Bild und Temperaturen aufnehmen (Ctrl+R)</translation>
    </message>
    <message>
        <source>Play a recording as the picture source</source>
        <translation>Eine Aufnahme als Bildquelle abspielen</translation>
    </message>
    <message>
        <source>Stop %1</source>
        <translation>Stopp %1</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>Aufnehmen</translation>
    </message>
</context>
<context>
    <name>PlaybackBar</name>
    <message>
        <source>Back to the camera</source>
        <translation>Zurück zur Kamera</translation>
    </message>
    <message>
        <source>One frame back (Left)</source>
        <translation>Ein Bild zurück (Links)</translation>
    </message>
    <message>
        <source>One frame on (Right)</source>
        <translation>Ein Bild weiter (Rechts)</translation>
    </message>
    <message>
        <source>Position in the recording</source>
        <translation>Position in der Aufnahme</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Abspielen</translation>
    </message>
</context>
<context>
    <name>RecordingSession</name>
    <message>
        <source>Recording saved: %1</source>
        <translation>Aufnahme gespeichert: %1</translation>
    </message>
    <message>
        <source>Recording stopped. %1</source>
        <translation>Aufnahme beendet. %1</translation>
    </message>
    <message>
        <source>No device found, please connect the device!</source>
        <translation>Kein Gerät gefunden. Bitte schließen Sie das Gerät an!</translation>
    </message>
    <message>
        <source>Recording could not start. %1</source>
        <translation>Die Aufnahme konnte nicht starten. %1</translation>
    </message>
    <message>
        <source>The camera was unplugged: the recording ends here and is kept.</source>
        <translation>Die Kamera wurde abgezogen: Die Aufnahme endet hier und bleibt erhalten.</translation>
    </message>
    <message>
        <source>%1 cannot be played. %2</source>
        <translation>%1 kann nicht abgespielt werden. %2</translation>
    </message>
    <message>
        <source>Open recording</source>
        <translation>Aufnahme öffnen</translation>
    </message>
    <message>
        <source>Recordings (*.mkv)</source>
        <translation>Aufnahmen (*.mkv)</translation>
    </message>
</context>
</TS>
