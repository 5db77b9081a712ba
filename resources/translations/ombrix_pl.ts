<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl" sourcelanguage="en">
<context>
    <name>CBaseTitleBar</name>
    <message>
        <location filename="../../app/widgets/cbasetitlebar.cpp" line="53"/>
        <source>Title</source>
        <translation>Tytuł</translation>
    </message>
</context>
<context>
    <name>CDialogToast</name>
    <message>
        <location filename="../../app/widgets/cdialogtoast.cpp" line="40"/>
        <source>Text</source>
        <translation>Tekst</translation>
    </message>
</context>
<context>
    <name>CTitleBar</name>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="95"/>
        <source>Minimize</source>
        <translation>Minimalizuj</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="96"/>
        <source>Maximize</source>
        <translation>Maksymalizuj</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="97"/>
        <source>Close</source>
        <translation>Zamknij</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="98"/>
        <source>Normal</source>
        <translation>Przywróć</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="100"/>
        <source>Settings</source>
        <translation>Ustawienia</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="101"/>
        <source>Alt+S</source>
        <translation>Alt+S</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="102"/>
        <source>Upgrade</source>
        <translation>Aktualizacja</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="103"/>
        <source>Alt+U</source>
        <translation>Alt+U</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="104"/>
        <source>About</source>
        <translation>Informacje</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="105"/>
        <source>Alt+A</source>
        <translation>Alt+A</translation>
    </message>
    <message>
        <location filename="../../app/widgets/ctitlebar.cpp" line="106"/>
        <source>Save</source>
        <translation>Zapisz</translation>
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
        <translation>Informacje</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetabout.cpp" line="60"/>
        <source>SN</source>
        <translation>Nr seryjny</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetabout.cpp" line="61"/>
        <source>Module ID</source>
        <translation>ID modułu</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetabout.cpp" line="62"/>
        <source>Firmware version</source>
        <translation>Wersja firmware</translation>
    </message>
</context>
<context>
    <name>CWidgetSettings</name>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="117"/>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="207"/>
        <source>Settings</source>
        <translation>Ustawienia</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="208"/>
        <source>Color</source>
        <translation>Paleta kolorów</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="209"/>
        <source>Distance</source>
        <translation>Odległość</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="210"/>
        <source>dm</source>
        <translation>dm</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="211"/>
        <source>Emissivity</source>
        <translation>Emisyjność</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="212"/>
        <source>%</source>
        <translation>%</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="213"/>
        <source>Temperature unit</source>
        <translation>Jednostka temperatury</translation>
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
        <translation>Przywróć domyślne</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp" line="217"/>
        <source>Save</source>
        <translation>Zapisz</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp"/>
        <source>Enter a distance from %1 to %2 dm.</source>
        <translation>Wprowadź odległość od %1 do %2 dm.</translation>
    </message>
    <message>
        <location filename="../../app/widgets/cwidgetsettings.cpp"/>
        <source>Enter an emissivity from %1 to %2 %.</source>
        <translation>Wprowadź emisyjność od %1 do %2 %.</translation>
    </message>
</context>
<context>
    <name>PictureReading</name>
    <message>
        <location filename="../../reading/colourscalebar.cpp" line="58"/>
        <location filename="../../reading/scaledialog.cpp" line="54"/>
        <source>Manual</source>
        <translation>Ręcznie</translation>
    </message>
    <message>
        <location filename="../../reading/colourscalebar.cpp" line="59"/>
        <location filename="../../reading/scaledialog.cpp" line="53"/>
        <source>Auto</source>
        <translation>Automatycznie</translation>
    </message>
    <message>
        <location filename="../../reading/colourscalebar.cpp" line="60"/>
        <location filename="../../reading/scaledialog.cpp" line="49"/>
        <source>Temperature scale</source>
        <translation>Skala temperatury</translation>
    </message>
    <message>
        <location filename="../../reading/picturereading.cpp" line="25"/>
        <source>Alarm: above %1</source>
        <translation>Alarm: powyżej %1</translation>
    </message>
    <message>
        <location filename="../../reading/picturereading.cpp" line="26"/>
        <source>Alarm: below %1</source>
        <translation>Alarm: poniżej %1</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="58"/>
        <source>Hot and cold markers</source>
        <translation>Znaczniki najcieplejszego i najzimniejszego punktu</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="61"/>
        <source>Off</source>
        <translation>Wyłączony</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="62"/>
        <source>Above</source>
        <translation>Powyżej</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="63"/>
        <source>Below</source>
        <translation>Poniżej</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="72"/>
        <source>Span</source>
        <translation>Zakres</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="73"/>
        <source>Low</source>
        <translation>Dolna granica</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="74"/>
        <source>High</source>
        <translation>Górna granica</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="76"/>
        <source>Isotherm alarm</source>
        <translation>Alarm izotermy</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="77"/>
        <source>Threshold</source>
        <translation>Próg</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="79"/>
        <source>Save</source>
        <translation>Zapisz</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="80"/>
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
    <message>
        <location filename="../../reading/scaledialog.cpp" line="121"/>
        <location filename="../../reading/scaledialog.cpp" line="129"/>
        <source>Please enter a number.</source>
        <translation>Wprowadź liczbę.</translation>
    </message>
    <message>
        <location filename="../../reading/scalesettings.cpp" line="50"/>
        <source>Temperatures must lie between %1 and %2.</source>
        <translation>Temperatury muszą mieścić się między %1 a %2.</translation>
    </message>
    <message>
        <location filename="../../reading/scalesettings.cpp" line="152"/>
        <source>The low temperature must be below the high temperature.</source>
        <translation>Dolna temperatura musi być niższa od górnej.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <location filename="../../app/mainwindow/main.cpp" line="59"/>
        <source>Thermal imager program is running!</source>
        <translation>Program kamery termowizyjnej jest już uruchomiony!</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/main.cpp" line="69"/>
        <source>Loading...</source>
        <translation>Wczytywanie...</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/main.cpp" line="76"/>
        <source>Done</source>
        <translation>Gotowe</translation>
    </message>
    <message>
        <source>Exported to %1</source>
        <translation>Wyeksportowano do %1</translation>
    </message>
    <message>
        <source>Export failed: %1</source>
        <translation>Eksport nie powiódł się: %1</translation>
    </message>
    <message>
        <source>There is no picture to export yet.</source>
        <translation>Nie ma jeszcze obrazu do eksportu.</translation>
    </message>
    <message>
        <source>No temperature data yet, please try again!</source>
        <translation>Brak jeszcze danych temperatury, spróbuj ponownie!</translation>
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
        <translation>Nie znaleziono urządzenia, podłącz urządzenie!</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="469"/>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="492"/>
        <source>No data, please connect the device!</source>
        <translation>Brak danych, podłącz urządzenie!</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="495"/>
        <source>Save</source>
        <translation>Zapisz</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="495"/>
        <source>Save current temperature matrix?</source>
        <translation>Zapisać bieżącą macierz temperatur?</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="500"/>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="509"/>
        <source>Save failed!</source>
        <translation>Zapis nie powiódł się!</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="505"/>
        <source>No temperature data yet, please try again!</source>
        <translation>Brak jeszcze danych temperatury, spróbuj ponownie!</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="509"/>
        <source>Saved successfully!</source>
        <translation>Zapisano pomyślnie!</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="535"/>
        <source>Saved to %1</source>
        <translation>Zapisano w %1</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="514"/>
        <source>Upgrade</source>
        <translation>Aktualizuj</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="514"/>
        <source>Do you need to upgrade firmware?</source>
        <translation>Czy zaktualizować firmware?</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="539"/>
        <source>Start firmware upgrade...</source>
        <translation>Rozpoczynanie aktualizacji firmware...</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="546"/>
        <source>The firmware download is completed. 
Please do not power off. 
Please wait patiently for the upgrade to complete!</source>
        <translation>Pobieranie firmware zostało zakończone. 
Nie wyłączaj zasilania. 
Poczekaj cierpliwie na zakończenie aktualizacji!</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="549"/>
        <source>Firmware upgrade failed!</source>
        <translation>Aktualizacja firmware nie powiodła się!</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp"/>
        <source>The camera did not accept the saved distance, emissivity or range.</source>
        <translation>Kamera nie przyjęła zapisanej odległości, emisyjności lub zakresu.</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp"/>
        <source>No camera connected</source>
        <translation>Brak podłączonej kamery</translation>
    </message>
</context>
<context>
    <name>ThermalImagerClass</name>
    <message>
        <location filename="../../app/mainwindow/thermalimager.cpp" line="113"/>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="172"/>
        <source>Thermal Imager</source>
        <translation>Kamera termowizyjna</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="173"/>
        <source>Spot</source>
        <translation>Punkt</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="174"/>
        <source>Line</source>
        <translation>Linia</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="175"/>
        <source>Square</source>
        <translation>Prostokąt</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="176"/>
        <source>Delete</source>
        <translation>Usuń</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="177"/>
        <source>Normal Temperature</source>
        <translation>Temperatura normalna</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="178"/>
        <source>High Temperature</source>
        <translation>Wysoka temperatura</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="179"/>
        <source>Refresh</source>
        <translation>Odśwież</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="180"/>
        <source>Rotate</source>
        <translation>Obróć</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow/ui_thermalimager.cpp" line="181"/>
        <source>Temperature profile</source>
        <translation>Przebieg temperatury</translation>
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
        <translation>Eksportuj</translation>
    </message>
    <message>
        <source>Ctrl+E</source>
        <translation>Ctrl+E</translation>
    </message>
    <message>
        <source>Picture as seen (PNG)...</source>
        <translation>Obraz jak na ekranie (PNG)...</translation>
    </message>
    <message>
        <source>Temperatures, 16-bit (TIFF)...</source>
        <translation>Temperatury, 16 bitów (TIFF)...</translation>
    </message>
    <message>
        <source>Temperatures as text (CSV)...</source>
        <translation>Temperatury jako tekst (CSV)...</translation>
    </message>
</context>
<context>
    <name>Recorder</name>
    <message>
        <source>A recording is already running.</source>
        <translation>Nagrywanie już trwa.</translation>
    </message>
    <message>
        <source>No camera picture to record.</source>
        <translation>Brak obrazu z kamery do nagrania.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Nie można zapisać %1: %2</translation>
    </message>
</context>
<context>
    <name>RecordingErrors</name>
    <message>
        <source>The file cannot be opened or created.</source>
        <translation>Nie można otworzyć ani utworzyć pliku.</translation>
    </message>
    <message>
        <source>This file is not an Ombrix recording, or it is damaged.</source>
        <translation>Ten plik nie jest nagraniem Ombrix lub jest uszkodzony.</translation>
    </message>
    <message>
        <source>The recording has another frame size than this camera.</source>
        <translation>Nagranie ma inny rozmiar klatki niż ta kamera.</translation>
    </message>
    <message>
        <source>Writing failed (is the disk full?). The file keeps every frame up to the last whole one.</source>
        <translation>Zapis nie powiódł się (czy dysk jest pełny?). Plik zachowuje wszystkie klatki do ostatniej pełnej.</translation>
    </message>
    <message>
        <source>A frame of the recording cannot be read.</source>
        <translation>Nie można odczytać klatki nagrania.</translation>
    </message>
    <message>
        <source>The recording failed (error %1).</source>
        <translation>Nagrywanie nie powiodło się (błąd %1).</translation>
    </message>
</context>
<context>
    <name>RecordingControls</name>
    <message>
        <source>Open recording</source>
        <translation>Otwórz nagranie</translation>
    </message>
    <message>
        <source>Ctrl+R</source>
        <translation>Ctrl+R</translation>
    </message>
    <message>
        <source>Record the picture and its temperatures (Ctrl+R)</source>
        <translation>Nagraj obraz i jego temperatury (Ctrl+R)</translation>
    </message>
    <message>
        <source>Play a recording as the picture source</source>
        <translation>Odtwórz nagranie jako źródło obrazu</translation>
    </message>
    <message>
        <source>Stop %1</source>
        <translation>Zatrzymaj %1</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>Nagrywaj</translation>
    </message>
</context>
<context>
    <name>PlaybackBar</name>
    <message>
        <source>Back to the camera</source>
        <translation>Powrót do kamery</translation>
    </message>
    <message>
        <source>One frame back (Left)</source>
        <translation>Jedna klatka wstecz (W lewo)</translation>
    </message>
    <message>
        <source>One frame on (Right)</source>
        <translation>Jedna klatka dalej (W prawo)</translation>
    </message>
    <message>
        <source>Position in the recording</source>
        <translation>Pozycja w nagraniu</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pauza</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Odtwórz</translation>
    </message>
</context>
<context>
    <name>RecordingSession</name>
    <message>
        <source>Recording saved: %1</source>
        <translation>Nagranie zapisano: %1</translation>
    </message>
    <message>
        <source>Recording stopped. %1</source>
        <translation>Nagrywanie zatrzymane. %1</translation>
    </message>
    <message>
        <source>No device found, please connect the device!</source>
        <translation>Nie znaleziono urządzenia, podłącz urządzenie!</translation>
    </message>
    <message>
        <source>Recording could not start. %1</source>
        <translation>Nie można rozpocząć nagrywania. %1</translation>
    </message>
    <message>
        <source>The camera was unplugged: the recording ends here and is kept.</source>
        <translation>Kamera została odłączona: nagranie kończy się tutaj i zostaje zachowane.</translation>
    </message>
    <message>
        <source>%1 cannot be played. %2</source>
        <translation>Nie można odtworzyć %1. %2</translation>
    </message>
    <message>
        <source>Open recording</source>
        <translation>Otwórz nagranie</translation>
    </message>
    <message>
        <source>Recordings (*.mkv)</source>
        <translation>Nagrania (*.mkv)</translation>
    </message>
</context>
</TS>
