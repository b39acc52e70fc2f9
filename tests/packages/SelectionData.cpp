#include "SelectionData.h"

#include <shlobj.h>

#include <utility>

#include "ShellDrop.h"

namespace NBDriver {

SelectionData::SelectionData(std::vector<std::wstring> paths)
    : ComObject(IID_IDataObject), paths_(std::move(paths)) {}

HRESULT SelectionData::QueryGetData(FORMATETC* format) {
    if (format == nullptr) {
        return E_INVALIDARG;
    }
    return format->cfFormat == CF_HDROP && (format->tymed & TYMED_HGLOBAL) != 0 &&
                   format->dwAspect == DVASPECT_CONTENT
               ? S_OK
               : DV_E_FORMATETC;
}

HRESULT SelectionData::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (medium == nullptr) {
        return E_INVALIDARG;
    }
    const HRESULT offered = QueryGetData(format);
    if (FAILED(offered)) {
        return offered;
    }
    // The caller owns it: no pUnkForRelease, so ReleaseStgMedium frees it.
    *medium = STGMEDIUM{};
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = NBTest::ShellDrop(paths_);
    return medium->hGlobal != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT SelectionData::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* canonical) {
    if (canonical == nullptr) {
        return E_INVALIDARG;
    }
    canonical->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

HRESULT SelectionData::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) {
    if (formats == nullptr) {
        return E_INVALIDARG;
    }
    *formats = nullptr;
    if (direction != DATADIR_GET) {
        return E_NOTIMPL;
    }
    const FORMATETC offered{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return SHCreateStdEnumFmtEtc(1, &offered, formats);
}

} // namespace NBDriver
