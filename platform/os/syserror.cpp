// The German system texts of the Win32 error codes that the file, module and
// window calls of this layer can set, as the system's message table words
// them (without the closing period, as SysErrorMessage gives them).
#include "platform/os/fileutil.h"

namespace {

struct ErrorText {
  DWORD code;
  const char* text;
};

constexpr ErrorText kTexts[] = {
    {ERROR_SUCCESS, "Der Vorgang wurde erfolgreich beendet"},
    {ERROR_INVALID_FUNCTION, "Unzul\xE4ssige Funktion"},
    {ERROR_FILE_NOT_FOUND, "Das System kann die angegebene Datei nicht finden"},
    {ERROR_PATH_NOT_FOUND, "Das System kann den angegebenen Pfad nicht finden"},
    {ERROR_TOO_MANY_OPEN_FILES,
     "Das System kann die Datei nicht \xF6"
     "ffnen"},
    {ERROR_ACCESS_DENIED, "Zugriff verweigert"},
    {ERROR_INVALID_HANDLE,
     "Das Handle ist ung\xFC"
     "ltig"},
    {ERROR_NOT_ENOUGH_MEMORY,
     "Nicht gen\xFC"
     "gend Speicher verf\xFC"
     "gbar, um diesen Befehl zu verarbeiten"},
    {ERROR_INVALID_DATA,
     "Die Daten sind ung\xFC"
     "ltig"},
    {ERROR_OUTOFMEMORY,
     "Nicht gen\xFC"
     "gend Speicher verf\xFC"
     "gbar, um diesen Vorgang abzuschlie\xDF"
     "en"},
    {ERROR_INVALID_DRIVE, "Das System kann das angegebene Laufwerk nicht finden"},
    {ERROR_NOT_SAME_DEVICE, "Die Datei kann nicht auf ein anderes Laufwerk verschoben werden"},
    {ERROR_NO_MORE_FILES, "Es sind keine weiteren Dateien vorhanden"},
    {ERROR_WRITE_PROTECT, "Der Datentr\xE4ger ist schreibgesch\xFCtzt"},
    {ERROR_NOT_READY, "Das Ger\xE4t ist nicht bereit"},
    {ERROR_GEN_FAILURE, "Ein an das System angeschlossenes Ger\xE4t funktioniert nicht"},
    {ERROR_SHARING_VIOLATION,
     "Der Prozess kann nicht auf die Datei zugreifen, da sie von einem anderen Prozess verwendet wird"},
    {ERROR_LOCK_VIOLATION,
     "Der Prozess kann nicht auf die Datei zugreifen, da ein anderer Prozess einen Teil der Datei gesperrt hat"},
    {ERROR_HANDLE_EOF, "Das Ende der Datei wurde erreicht"},
    {ERROR_HANDLE_DISK_FULL, "Der Datentr\xE4ger ist voll"},
    {ERROR_NOT_SUPPORTED, "Die Anforderung wird nicht unterst\xFCtzt"},
    {ERROR_FILE_EXISTS, "Die Datei ist vorhanden"},
    {ERROR_CANNOT_MAKE, "Das Verzeichnis oder die Datei kann nicht erstellt werden"},
    {ERROR_INVALID_PARAMETER, "Falscher Parameter"},
    {ERROR_BROKEN_PIPE, "Die Pipe wurde beendet"},
    {ERROR_OPEN_FAILED,
     "Das System kann das angegebene Ger\xE4t oder die angegebene Datei nicht \xF6"
     "ffnen"},
    {ERROR_BUFFER_OVERFLOW, "Der Dateiname ist zu lang"},
    {ERROR_DISK_FULL,
     "Auf dem Datentr\xE4ger ist nicht gen\xFC"
     "gend Speicherplatz vorhanden"},
    {ERROR_INSUFFICIENT_BUFFER,
     "Der an einen Systemaufruf \xFC"
     "bergebene Datenbereich ist zu klein"},
    {ERROR_INVALID_NAME,
     "Die Syntax f\xFCr den Dateinamen, Verzeichnisnamen oder die Datentr\xE4ger"
     "bezeichnung ist falsch"},
    {ERROR_DIR_NOT_EMPTY, "Das Verzeichnis ist nicht leer"},
    {ERROR_BUSY, "Die angeforderte Ressource ist in Gebrauch"},
    {ERROR_ALREADY_EXISTS, "Eine Datei kann nicht erstellt werden, wenn sie bereits vorhanden ist"},
    {ERROR_ENVVAR_NOT_FOUND, "Die Umgebungsoption wurde nicht gefunden"},
    {ERROR_FILENAME_EXCED_RANGE, "Der Dateiname oder die Erweiterung ist zu lang"},
    {ERROR_DIRECTORY,
     "Der Verzeichnisname ist ung\xFC"
     "ltig"},
    {ERROR_INVALID_ADDRESS, "Es wurde auf eine unzul\xE4ssige Adresse zugegriffen"},
    {ERROR_FILE_INVALID,
     "Das Volume f\xFCr eine Datei wurde extern so ge\xE4ndert, dass die ge\xF6"
     "ffnete Datei nicht mehr g\xFC"
     "ltig ist"},
    {ERROR_MAPPED_ALIGNMENT, "Die Basisadresse oder der Dateioffset hat keine korrekte Ausrichtung"},
    {ERROR_INVALID_WINDOW_HANDLE,
     "Ung\xFC"
     "ltiges Fensterhandle"},
    {ERROR_TIMEOUT,
     "Dieser Vorgang wurde wegen Zeit\xFC"
     "berschreitung zur\xFC"
     "ckgegeben"},
    {ERROR_RESOURCE_DATA_NOT_FOUND, "Die angegebene Abbilddatei enth\xE4lt keinen Ressourcenabschnitt"},
    {ERROR_RESOURCE_TYPE_NOT_FOUND, "Der angegebene Ressourcentyp wurde in der Abbilddatei nicht gefunden"},
};

}  // namespace

AnsiString SysErrorMessage(DWORD ErrorCode) {
  for (const auto& e : kTexts)
    if (e.code == ErrorCode) return e.text;
  return AnsiString();
}
