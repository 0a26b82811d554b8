<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="pl_PL">
<context>
    <name>lumora::QtCloseQuestion</name>
    <message>
        <source>Zapisać zmiany sekwencji i projektu przed zamknięciem?</source>
        <translation>Save the changes to the sequence and the project before closing?</translation>
    </message>
    <message>
        <source>Zapisz oba</source>
        <translation>Save both</translation>
    </message>
    <message>
        <source>Zapisać zmiany sekwencji przed zamknięciem?</source>
        <translation>Save the changes to the sequence before closing?</translation>
    </message>
    <message>
        <source>Zapisz sekwencję</source>
        <translation>Save sequence</translation>
    </message>
    <message>
        <source>Zapisać zmiany projektu przed zamknięciem?</source>
        <translation>Save the changes to the project before closing?</translation>
    </message>
    <message>
        <source>Zapisz projekt</source>
        <translation>Save project</translation>
    </message>
    <message>
        <source>Niezapisane zmiany zostaną utracone.</source>
        <translation>Unsaved changes will be lost.</translation>
    </message>
    <message>
        <source>Nie zapisuj</source>
        <translation>Don&apos;t save</translation>
    </message>
    <message>
        <source>Anuluj</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>lumora::QtFileDialogs</name>
    <message>
        <source>prj (*.prj)</source>
        <translation>Projects (*.prj)</translation>
    </message>
    <message>
        <source>sqx (*.sqx)</source>
        <translation>Sequences (*.sqx)</translation>
    </message>
</context>
<context>
    <name>lumora::QtRecoveryQuestions</name>
    <message>
        <source>Przywrócić niezapisaną pracę?</source>
        <translation>Restore unsaved work?</translation>
    </message>
    <message>
        <source>Lumora zakończyła się bez zapisania zmian. Ctrl+Z cofa przywrócenie; odrzucona praca zostanie usunięta.</source>
        <translation>Lumora ended without saving the changes. Ctrl+Z takes the restoring back; discarded work is deleted.</translation>
    </message>
    <message>
        <source>Przywróć</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>Odrzuć</source>
        <translation>Discard</translation>
    </message>
    <message>
        <source>Kopii niezapisanej pracy nie da się odczytać.</source>
        <translation>The copy of unsaved work cannot be read.</translation>
    </message>
    <message>
        <source>Odłożono ją do folderu %1.</source>
        <translation>It was set aside in the folder %1.</translation>
    </message>
</context>
<context>
    <name>lumora::TForm1</name>
    <message>
        <source>Zakładki</source>
        <translation>Tabs</translation>
    </message>
    <message>
        <source>Tworzenie sekwencji</source>
        <translation>Sequence editor</translation>
    </message>
    <message>
        <source>Konfiguracja sterownika</source>
        <translation>Controller setup</translation>
    </message>
    <message>
        <source>Prg Start</source>
        <translation>Prg Start</translation>
    </message>
    <message>
        <source>Prg End</source>
        <translation>Prg End</translation>
    </message>
    <message>
        <source>Prg Loop</source>
        <translation>Prg Loop</translation>
    </message>
    <message>
        <source>Otwórz projekt</source>
        <translation>Open project</translation>
    </message>
    <message>
        <source>Zapisz projekt</source>
        <translation>Save project</translation>
    </message>
    <message>
        <source>Liczba Scen</source>
        <translation>Scene count</translation>
    </message>
    <message>
        <source>Wyślij do sterownika</source>
        <translation>Send to controller</translation>
    </message>
    <message>
        <source>Programy DMX</source>
        <translation>DMX programs</translation>
    </message>
    <message>
        <source>Program %1</source>
        <translation>DMX program %1</translation>
    </message>
    <message>
        <source>Zajętość pamięci sterownika</source>
        <translation>Controller memory in use</translation>
    </message>
    <message>
        <source>save tab prg</source>
        <translation>save tab prg</translation>
    </message>
    <message>
        <source>save tab sc_prg</source>
        <translation>save tab sc_prg</translation>
    </message>
    <message>
        <source>save tab auto</source>
        <translation>save tab auto</translation>
    </message>
    <message>
        <source>save all</source>
        <translation>save all</translation>
    </message>
    <message>
        <source>Programy DMX Auto</source>
        <translation>Automatic programs</translation>
    </message>
    <message>
        <source>Program automatyczny %1</source>
        <translation>Automatic program %1</translation>
    </message>
    <message>
        <source>Ustawienia programu automatycznego</source>
        <translation>Automatic program settings</translation>
    </message>
    <message>
        <source>Wartość %1</source>
        <translation>%1 value</translation>
    </message>
    <message>
        <source>Sekwencje</source>
        <translation>Sequences</translation>
    </message>
    <message>
        <source>Otwórz</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Zapisz</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>Sceny</source>
        <translation>Scenes</translation>
    </message>
    <message>
        <source>normal</source>
        <translation>normal</translation>
    </message>
    <message>
        <source>fala1</source>
        <translation>wave1</translation>
    </message>
    <message>
        <source>fala2</source>
        <translation>wave2</translation>
    </message>
    <message>
        <source>Poprzednia scena</source>
        <translation>Previous scene</translation>
    </message>
    <message>
        <source>Następna scena</source>
        <translation>Next scene</translation>
    </message>
    <message>
        <source>Dodaj</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>Usuń</source>
        <translation>Del</translation>
    </message>
    <message>
        <source>kopiuj</source>
        <translation>copy</translation>
    </message>
    <message>
        <source>wklej</source>
        <translation>paste</translation>
    </message>
    <message>
        <source>Odtwórz</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Kolor czarny</source>
        <translation>Black</translation>
    </message>
    <message>
        <source>Kolor czerwony</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>Kolor zielony</source>
        <translation>Green</translation>
    </message>
    <message>
        <source>Kolor niebieski</source>
        <translation>Blue</translation>
    </message>
    <message>
        <source>Kolor żółty</source>
        <translation>Yellow</translation>
    </message>
    <message>
        <source>Kolor purpurowy</source>
        <translation>Magenta</translation>
    </message>
    <message>
        <source>Kolor błękitny</source>
        <translation>Cyan</translation>
    </message>
    <message>
        <source>Kolor biały</source>
        <translation>White</translation>
    </message>
    <message>
        <source>Narzędzia</source>
        <translation>Tools</translation>
    </message>
    <message>
        <source>Ołówek</source>
        <translation>Pencil</translation>
    </message>
    <message>
        <source>Pędzel</source>
        <translation>Brush</translation>
    </message>
    <message>
        <source>Paleta kolorów</source>
        <translation>Colour palette</translation>
    </message>
    <message>
        <source>Tuby</source>
        <translation>Tubes</translation>
    </message>
    <message>
        <source>Prawy przycisk myszy: ostatnio używane pliki</source>
        <translation>Right click: recent files</translation>
    </message>
    <message>
        <source>Brak ostatnio używanych plików</source>
        <translation>No recent files</translation>
    </message>
</context>
<context>
    <name>lumora::TForm2</name>
    <message>
        <source>Adres DMX</source>
        <translation>DMX address</translation>
    </message>
    <message>
        <source>Numer programu</source>
        <translation>DMX program number</translation>
    </message>
    <message>
        <source>Prędkość</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>Liczba tub</source>
        <translation>Tubes</translation>
    </message>
    <message>
        <source>Numer programu automatycznego</source>
        <translation>Automatic program number</translation>
    </message>
    <message>
        <source>Programowanie sterownika</source>
        <translation>Controller programming</translation>
    </message>
    <message>
        <source>Programuj sterownik</source>
        <translation>Program controller</translation>
    </message>
    <message>
        <source>Pasek stanu</source>
        <translation>Status bar</translation>
    </message>
    <message>
        <source>Postęp programowania</source>
        <translation>Programming progress</translation>
    </message>
    <message>
        <source>Wybierz sterownik</source>
        <translation>Choose controller</translation>
    </message>
    <message>
        <source>Wszystkie sterowniki</source>
        <translation>All controllers</translation>
    </message>
    <message>
        <source>Sterownik o adresie równym:</source>
        <translation>Controller at address:</translation>
    </message>
    <message>
        <source>DMX adres</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>Ustawienia trybu solo</source>
        <translation>Solo mode settings</translation>
    </message>
    <message>
        <source>Program</source>
        <translation>Program</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>Wybierz programator</source>
        <translation>Choose programmer</translation>
    </message>
    <message>
        <source>Brightwave USB</source>
        <translation>Brightwave USB</translation>
    </message>
    <message>
        <source>Standard programator</source>
        <translation>Standard programmer</translation>
    </message>
</context>
<context>
    <name>lumora::TubeGrid</name>
    <message>
        <source>Tuba %1</source>
        <translation>Tube %1</translation>
    </message>
    <message>
        <source>Tuba %1, komórka %2</source>
        <translation>Tube %1, cell %2</translation>
    </message>
</context>
<context>
    <name>message</name>
    <message>
        <source>ERROR PLIK</source>
        <translation>FILE ERROR</translation>
    </message>
    <message>
        <source>BRAK PLIKU: STR.TAB</source>
        <translation>MISSING FILE: STR.TAB</translation>
    </message>
    <message>
        <source>BŁĘDNY PLIK: STR.TAB</source>
        <translation>INVALID FILE: STR.TAB</translation>
    </message>
    <message>
        <source>Brak wolnej pamięci w sterowniku</source>
        <translation>No free memory left in the controller</translation>
    </message>
    <message>
        <source>Brak połączenia z programatorem</source>
        <translation>No connection to the programmer</translation>
    </message>
    <message>
        <source>Programator jest podłączony, ale brak uprawnień dostępu do niego.
Zobacz rozdział „Programming from a normal user account” w pliku README.</source>
        <translation>The programmer is plugged in, but you have no permission to use it.
See the section “Programming from a normal user account” in the README file.</translation>
    </message>
    <message>
        <source>LUMORA_ADAPTER: brak katalogu po &quot;virtual:&quot;</source>
        <translation>LUMORA_ADAPTER: no folder after &quot;virtual:&quot;</translation>
    </message>
    <message>
        <source>LUMORA_ADAPTER: nie można utworzyć katalogu &quot;%1&quot;</source>
        <translation>LUMORA_ADAPTER: cannot make the folder &quot;%1&quot;</translation>
    </message>
    <message>
        <source>LUMORA_ADAPTER: nie można zapisywać w katalogu &quot;%1&quot;</source>
        <translation>LUMORA_ADAPTER: cannot write into the folder &quot;%1&quot;</translation>
    </message>
    <message>
        <source>LUMORA_ADAPTER: sterownik USB niedostępny</source>
        <translation>LUMORA_ADAPTER: USB driver not available</translation>
    </message>
    <message>
        <source>LUMORA_ADAPTER: brak ścieżki urządzenia po &quot;tty:&quot;</source>
        <translation>LUMORA_ADAPTER: no device path after &quot;tty:&quot;</translation>
    </message>
    <message>
        <source>LUMORA_ADAPTER: nieznana wartość &quot;%1&quot;; dozwolone: virtual, virtual:KATALOG, usb, tty:URZĄDZENIE</source>
        <translation>LUMORA_ADAPTER: unknown value &quot;%1&quot;; allowed: virtual, virtual:DIR, usb, tty:DEVICE</translation>
    </message>
    <message>
        <source>Biblioteka sterownika adaptera USB (FTD2XX.DLL) nie jest zainstalowana.</source>
        <translation>The USB adapter&apos;s driver library (FTD2XX.DLL) is not installed.</translation>
    </message>
    <message>
        <source>LUMORA_ADAPTER: brak nazwy portu po &quot;com:&quot;</source>
        <translation>LUMORA_ADAPTER: no port name after &quot;com:&quot;</translation>
    </message>
    <message>
        <source>LUMORA_ADAPTER: nieznana wartość &quot;%1&quot;; dozwolone: virtual, virtual:KATALOG, usb, com:PORT</source>
        <translation>LUMORA_ADAPTER: unknown value &quot;%1&quot;; allowed: virtual, virtual:DIR, usb, com:PORT</translation>
    </message>
</context>
</TS>
