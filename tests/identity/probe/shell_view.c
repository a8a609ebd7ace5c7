/* Reads an executable's identity through the system's own calls, the way the shell and the
 * loader read it: the icons that Explorer would show, the version strings of the properties
 * page, and what the activation context makes of the manifest.
 *
 * Usage: kestrel_shell_view EXECUTABLE x86|x64 RESULT-FILE
 * The architecture is the executable's: its manifest is resolved for it, whatever the probe's is.
 * Writes one key=value line per reading to RESULT-FILE (UTF-8). A reading that fails is
 * written as key=error:<code>, so that the test can say which one. */

/* The activation-context queries came after Windows XP; the probe needs their declarations,
 * though the launcher itself must not use them. */
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0601

#include <windows.h>
#include <shellapi.h>
#include <stdio.h>

static FILE *result;

static void write_line(const wchar_t *key, const wchar_t *value)
{
    char utf8[1024];
    WideCharToMultiByte(CP_UTF8, 0, value, -1, utf8, sizeof utf8, NULL, NULL);
    fprintf(result, "%ls=%s\n", key, utf8);
}

static void write_error(const wchar_t *key)
{
    fprintf(result, "%ls=error:%lu\n", key, (unsigned long)GetLastError());
}

static void write_icon_size(const wchar_t *key, HICON icon)
{
    ICONINFO info;
    BITMAP bitmap;
    wchar_t text[32];
    if (icon == NULL || !GetIconInfo(icon, &info)) {
        write_error(key);
        return;
    }
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    /* A monochrome icon keeps its image and mask in one bitmap of twice the height. */
    swprintf(text, 32, L"%ldx%ld", bitmap.bmWidth, info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2);
    write_line(key, text);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
}

static void read_icons(const wchar_t *path)
{
    HICON large = NULL, small = NULL;
    wchar_t text[16];
    swprintf(text, 16, L"%u", ExtractIconExW(path, -1, NULL, NULL, 0));
    write_line(L"icon_groups", text);
    ExtractIconExW(path, 0, &large, &small, 1);
    write_icon_size(L"large_icon", large);
    write_icon_size(L"small_icon", small);
}

static void read_version(const wchar_t *path)
{
    static const wchar_t *const keys[] = {
        L"CompanyName", L"FileDescription", L"FileVersion", L"InternalName",
        L"LegalCopyright", L"OriginalFilename", L"ProductName", L"ProductVersion"};
    DWORD size = GetFileVersionInfoSizeW(path, NULL);
    void *block;
    WORD *translation;
    VS_FIXEDFILEINFO *fixed;
    UINT length;
    wchar_t text[64];
    unsigned i;

    block = size ? HeapAlloc(GetProcessHeap(), 0, size) : NULL;
    if (block == NULL || !GetFileVersionInfoW(path, 0, size, block)) {
        write_error(L"version");
        return;
    }
    if (VerQueryValueW(block, L"\\", (void **)&fixed, &length) && length >= sizeof *fixed) {
        swprintf(text, 64, L"%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                 HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
        write_line(L"fixed_file_version", text);
    } else {
        write_error(L"fixed_file_version");
    }
    /* The properties page finds the strings through the translation entry, as done here. */
    if (!VerQueryValueW(block, L"\\VarFileInfo\\Translation", (void **)&translation, &length) || length < 4) {
        write_error(L"translation");
        return;
    }
    swprintf(text, 64, L"%04x%04x", translation[0], translation[1]);
    write_line(L"translation", text);
    for (i = 0; i < sizeof keys / sizeof keys[0]; ++i) {
        wchar_t query[96], key[64];
        wchar_t *value;
        swprintf(query, 96, L"\\StringFileInfo\\%04x%04x\\%ls", translation[0], translation[1], keys[i]);
        swprintf(key, 64, L"version.%ls", keys[i]);
        if (VerQueryValueW(block, query, (void **)&value, &length) && length > 0)
            write_line(key, value);
        else
            write_error(key);
    }
    HeapFree(GetProcessHeap(), 0, block);
}

static void read_manifest(const wchar_t *path, USHORT architecture)
{
    ACTCTXW request = {0};
    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION run_level;
    wchar_t text[64];
    SIZE_T written;
    HANDLE context;

    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_PROCESSOR_ARCHITECTURE_VALID;
    request.lpSource = path;
    request.lpResourceName = CREATEPROCESS_MANIFEST_RESOURCE_ID;
    request.wProcessorArchitecture = architecture;
    context = CreateActCtxW(&request);
    if (context == INVALID_HANDLE_VALUE) {
        write_error(L"manifest");
        return;
    }
    write_line(L"manifest", L"accepted");
    if (QueryActCtxW(0, context, NULL, RunlevelInformationInActivationContext, &run_level,
                     sizeof run_level, &written)) {
        swprintf(text, 64, L"%d", (int)run_level.RunLevel);
        write_line(L"run_level", text);
        swprintf(text, 64, L"%lu", (unsigned long)run_level.UiAccess);
        write_line(L"ui_access", text);
    } else {
        write_error(L"run_level");
    }
    if (QueryActCtxSettingsW(0, context, NULL, L"dpiAware", text, 64, &written))
        write_line(L"dpi_aware", text);
    else
        write_error(L"dpi_aware");
    ReleaseActCtx(context);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR command_line, int show)
{
    int count;
    wchar_t **arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    (void)instance, (void)previous, (void)command_line, (void)show;

    if (arguments == NULL || count != 4)
        return 2;
    result = _wfopen(arguments[3], L"w");
    if (result == NULL)
        return 3;
    read_icons(arguments[1]);
    read_version(arguments[1]);
    read_manifest(arguments[1], lstrcmpW(arguments[2], L"x86") == 0 ? PROCESSOR_ARCHITECTURE_INTEL
                                                                     : PROCESSOR_ARCHITECTURE_AMD64);
    fclose(result);
    return 0;
}
