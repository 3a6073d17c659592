#include "support/pxlib_reader.h"

#include <stdexcept>

#include "support/text_codec.h"

#ifdef UD_HAVE_PXLIB
extern "C" {
#include <paradox.h>
}

#include <cstdlib>
#include <cstring>
#endif

namespace fixture::pxlib {

#ifndef UD_HAVE_PXLIB

bool available() {
  return false;
}
Table read(const std::filesystem::path&, int) {
  throw std::runtime_error("built without pxlib");
}

#else

namespace {

// pxlib reports errors through a callback; keep the last message.
thread_local std::string tLastError;

void onError(pxdoc_t*, int, const char* msg, void*) {
  tLastError = msg ? msg : "?";
}

char letterOf(int pxType) {
  switch (pxType) {
    case pxfAlpha:
      return 'A';
    case pxfDate:
      return 'D';
    case pxfShort:
      return 'S';
    case pxfLong:
      return 'I';
    case pxfCurrency:
      return '$';
    case pxfNumber:
      return 'N';
    case pxfLogical:
      return 'L';
    case pxfMemoBLOb:
      return 'M';
    case pxfBLOb:
      return 'B';
    case pxfFmtMemoBLOb:
      return 'F';
    case pxfOLE:
      return 'O';
    case pxfGraphic:
      return 'G';
    case pxfTime:
      return 'T';
    case pxfTimestamp:
      return '@';
    case pxfAutoInc:
      return '+';
    case pxfBCD:
      return '#';
    case pxfBytes:
      return 'Y';
    default:
      return '?';
  }
}

// pxlib's dates are Paradox day numbers (1 = 0001-01-01); the product's
// day 0 is 1899-12-30, Paradox day 693594.
constexpr double kProductEpoch = 693594;

struct Doc {
  pxdoc_t* doc = nullptr;
  ~Doc() {
    if (doc != nullptr) {
      PX_close(doc);
      PX_delete(doc);
    }
  }
};

}  // namespace

bool available() {
  return true;
}

Table read(const std::filesystem::path& dbFile, int textCodePage) {
  static const bool booted = [] {
    PX_boot();
    return true;
  }();
  (void)booted;
  Doc d;
  tLastError.clear();
  d.doc = PX_new2(onError, nullptr, nullptr, nullptr);
  if (d.doc == nullptr) throw std::runtime_error("pxlib: cannot create a document");
  if (PX_open_file(d.doc, dbFile.string().c_str()) < 0) {
    throw std::runtime_error("pxlib cannot open " + dbFile.string() + ": " + tLastError);
  }
  const pxhead_t* head = d.doc->px_head;
  Table t;
  t.versionId = head->px_fileversion;
  t.fileType = head->px_filetype;
  t.codePage = head->px_doscodepage;
  t.keyFields = head->px_primarykeyfields;
  const int nf = PX_get_num_fields(d.doc);
  for (int i = 0; i < nf; ++i) {
    const pxfield_t* f = PX_get_field(d.doc, i);
    const char letter = letterOf(f->px_ftype);
    t.fields.push_back(
        {decodeText(f->px_fname, textCodePage), letter, letter == '#' ? f->px_fdc : f->px_flen});
  }
  const int n = PX_get_num_records(d.doc);
  for (int r = 0; r < n; ++r) {
    pxval_t** vals = PX_retrieve_record(d.doc, r);
    if (vals == nullptr) {
      throw std::runtime_error("pxlib cannot read record " + std::to_string(r) + " of " +
                               dbFile.string() + ": " + tLastError);
    }
    std::vector<Variant> row(static_cast<std::size_t>(nf));
    for (int i = 0; i < nf; ++i) {
      pxval_t* v = vals[i];
      Variant& out = row[static_cast<std::size_t>(i)];
      const char letter = t.fields[static_cast<std::size_t>(i)].type;
      if (!v->isnull) {
        switch (letter) {
          case 'A':
            out.value = decodeText(std::string(v->value.str.val, std::strlen(v->value.str.val)),
                                   textCodePage);
            break;
          case 'S':
          case 'I':
          case '+':
          case 'T':
            out.value = static_cast<std::int64_t>(v->value.lval);
            break;
          case 'N':
          case '$':
            out.value = v->value.dval;
            break;
          case 'L':
            out.value = v->value.lval != 0;
            break;
          case 'D':
            out.value = Variant::DateTime{static_cast<double>(v->value.lval) - kProductEpoch};
            break;
          case '@':
            if (v->value.dval == 0) break;  // pxlib reads a blank timestamp as 0
            out.value = Variant::DateTime{v->value.dval / 86400000.0 - kProductEpoch};
            break;
          case '#':
            out.value = std::string(v->value.str.val);
            break;
          case 'Y':
            out.value = Variant::Bytes{
                std::string(v->value.str.val, static_cast<std::size_t>(v->value.str.len))};
            break;
          default:
            break;  // blobs: not read
        }
      }
      if (v->type == pxfAlpha || v->type == pxfBCD || v->type == pxfBytes ||
          v->type == pxfMemoBLOb || v->type == pxfBLOb || v->type == pxfFmtMemoBLOb ||
          v->type == pxfOLE || v->type == pxfGraphic) {
        if (!v->isnull && v->value.str.val != nullptr) d.doc->free(d.doc, v->value.str.val);
      }
      d.doc->free(d.doc, v);
    }
    d.doc->free(d.doc, vals);
    t.rows.push_back(std::move(row));
  }
  return t;
}

#endif

}  // namespace fixture::pxlib
