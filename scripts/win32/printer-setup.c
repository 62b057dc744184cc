/* Installs a PostScript printer in the current Wine prefix and makes it the
 * default: printer-setup.exe NAME PORT PPD
 * PPD is the file name of a PPD already copied into the prefix's driver folder
 * (the platform records only the name). Exit code 0 on success. */
#include <windows.h>
#include <winspool.h>

#include <stdio.h>

static const wchar_t kDriver[] = L"Wine PostScript Driver";

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4) {
        fprintf(stderr, "usage: printer-setup NAME PORT PPD\n");
        return 2;
    }
    DRIVER_INFO_3W driver = {0};
    driver.cVersion = 3;
    driver.pName = (wchar_t*)kDriver;
    driver.pEnvironment = L"Windows x64";
    driver.pDriverPath = L"wineps.drv";
    driver.pConfigFile = L"wineps.drv";
    driver.pDataFile = argv[3];
    if (!AddPrinterDriverExW(NULL, 3, (BYTE*)&driver, APD_COPY_NEW_FILES) &&
        GetLastError() != ERROR_PRINTER_DRIVER_ALREADY_INSTALLED) {
        fprintf(stderr, "AddPrinterDriverExW failed: %lu\n", GetLastError());
        return 1;
    }
    PRINTER_INFO_2W printer = {0};
    printer.pPrinterName = argv[1];
    printer.pPortName = argv[2];
    printer.pDriverName = (wchar_t*)kDriver;
    printer.pPrintProcessor = L"WinPrint";
    printer.pDatatype = L"RAW";
    printer.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE handle = AddPrinterW(NULL, 2, (BYTE*)&printer);
    if (handle) {
        ClosePrinter(handle);
    } else if (GetLastError() != ERROR_PRINTER_ALREADY_EXISTS) {
        fprintf(stderr, "AddPrinterW failed: %lu\n", GetLastError());
        return 1;
    }
    if (!SetDefaultPrinterW(argv[1])) {
        fprintf(stderr, "SetDefaultPrinterW failed: %lu\n", GetLastError());
        return 1;
    }
    return 0;
}
