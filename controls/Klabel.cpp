#include "controls/Klabel.h"

#include "foundation/kStrings.h"
#include "foundation/language.h"
#include "platform/gui/streaming.h"
#include "platform/rtl/sysutils.h"

// ---------------------------------------------------------------- TKALabel

TKALabel::TKALabel(TComponent* AOwner) : TCustomLabel(AOwner) {
  Font()->SetName("Microsoft Sans Serif");
  SetAutoSize(true);
  SetAlignment(taLeftJustify);
}

TKALabel::~TKALabel() = default;

// The caption goes through DrawEscapedText, for drawing and for measuring
// (DT_CALCRECT) alike; a disabled label is embossed.
void TKALabel::DoDrawText(TRect& Rect, UINT Flags) {
  const AnsiString text = GetLabelText();
  Flags = DrawTextBiDiModeFlags(Flags);
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  auto draw = [&] {
    RECT r = Rect;
    DrawEscapedText(c->Handle(), r, text, Flags);
    Rect = r;
  };
  if (Enabled()) {
    draw();
    return;
  }
  OffsetRect(Rect, 1, 1);
  c->Font()->SetColor(clBtnHighlight);
  draw();
  OffsetRect(Rect, -1, -1);
  c->Font()->SetColor(clBtnShadow);
  draw();
}

// ---------------------------------------------------------------- TKlabel

TKlabel::TKlabel(TComponent* AOwner) : TCustomLabel(AOwner), FPen(std::make_unique<TPen>()) {
  FPen->SetColor(clGray);
  FPen->SetStyle(psSolid);
  FPen->SetMode(pmCopy);
  FPen->SetWidth(1);
  FPen->OnChange = [this](TObject*) {
    if (!FCopyingPen) PaintNow();
  };
  SetAutoSize(false);
  SetParentColor(false);
  SetTransparent(false);
  SetColor(clWhite);
  SetHeight(17);
}

TKlabel::~TKlabel() { FPen->OnChange = nullptr; }

// At once, not by invalidating (inside a paint the layer defers it).
void TKlabel::PaintNow() { Repaint(); }

void TKlabel::SetPen(TPen* Value) {
  if (!Value || Value == FPen.get()) return;
  if (Value->Color() == FPen->Color() && Value->Style() == FPen->Style() && Value->Mode() == FPen->Mode() &&
      Value->Width() == FPen->Width())
    return;
  FCopyingPen = true;
  FPen->Assign(Value);
  FCopyingPen = false;
  PaintNow();
}

void TKlabel::SetBoxWidth(int Value) {
  if (FBoxWidth == Value) return;
  FBoxWidth = Value;
  PaintNow();
}

void TKlabel::SetBorderStyle(TStaticBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  PaintNow();
}

void TKlabel::SetAutoLen(bool Value) {
  if (FAutoLen == Value) return;
  FAutoLen = Value;
  PaintNow();
}

void TKlabel::SetFieldLen(int Value) {
  if (FFieldLen == Value) return;
  SetCaption("");
  FBoxWidth = 32;
  FFieldLen = Value;
  FSeparator = false;
  PaintNow();
}

void TKlabel::SetSeparator(bool Value) {
  if (FSeparator == Value) return;
  SetCaption("");
  FBoxWidth = 32;
  FFieldLen = 0;
  FSeparator = Value;
  PaintNow();
}

AnsiString TKlabel::DisplayText(const AnsiString& Caption) {
  AnsiString r;
  r.reserve(Caption.size());
  for (char ch : Caption) {
    if (ch == '&')
      r += "&&";
    else if (ch == '_')
      r += ' ';
    else
      r += ch;
  }
  return r;
}

// Box k spans k * BoxWidth to (k + 1) * BoxWidth - 2 with its text
// right-aligned; its separator line stands at (k + 1) * BoxWidth.  An empty
// text leaves its box empty.
void TKlabel::DrawBoxes(const std::vector<AnsiString>& Texts) {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  r.Right = FBoxWidth - 2;
  int boxes = 0;
  for (const AnsiString& t : Texts) {
    if (!t.empty())
      DrawTextA(c->Handle(), t.c_str(), static_cast<int>(t.size()), &r, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    ++boxes;
    c->MoveTo(r.Right + 2, r.Top);
    c->LineTo(r.Right + 2, r.Bottom);
    OffsetRect(r, FBoxWidth, 0);
  }
  if (FAutoLen) SetWidth(FBoxWidth * boxes + 1);
}

void TKlabel::Paint() {
  static const UINT kAlign[] = {0, DT_RIGHT, DT_CENTER};
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  const TRect client = ClientRect();
  if (!Transparent()) {
    c->Brush()->SetColor(Color());
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(client);
  }
  c->Brush()->SetStyle(bsClear);
  c->Pen()->Assign(FPen.get());
  const AnsiString caption = Caption();
  const AnsiString display = DisplayText(caption);

  if (FSeparator) {
    TKStringList items;
    items.SetCommaText(caption);
    std::vector<AnsiString> texts;
    for (int i = 0; i < items.Count(); ++i) texts.push_back(Trim(items.Strings(i)));
    DrawBoxes(texts);
  } else if (FFieldLen >= 1) {
    // Whole chunks of FieldLen characters; the last one is what is left of
    // the text.
    std::vector<AnsiString> texts;
    const std::size_t len = static_cast<std::size_t>(FFieldLen);
    for (std::size_t pos = 0; pos < display.size(); pos += len) {
      AnsiString chunk = display.substr(pos, len);
      if (FNumeric) {
        const int v = StrToIntDef(chunk, 0);
        chunk = v > 0 ? IntToStr(v) : AnsiString();
      }
      texts.push_back(chunk);
    }
    DrawBoxes(texts);
  } else {
    TRect r = client;
    r.Left = 2;
    if (FAutoLen && !display.empty()) {
      const int w = c->TextWidth(display) + 4;
      r.Right = w;
      SetWidth(w + 1);
    }
    r.Right -= 2;
    DrawTextA(c->Handle(), display.c_str(), static_cast<int>(display.size()), &r,
              DT_VCENTER | DT_SINGLELINE | kAlign[Alignment()]);
  }

  TRect b = ClientRect();
  switch (FBorderStyle) {
    case sbsNone: break;
    case sbsSingle:
      c->MoveTo(b.Left, b.Top);
      c->LineTo(b.Right - 1, b.Top);
      c->LineTo(b.Right - 1, b.Bottom - 1);
      c->LineTo(b.Left, b.Bottom - 1);
      c->LineTo(b.Left, b.Top);
      break;
    case sbsSunken: DrawEdge(c->Handle(), &b, BDR_SUNKENINNER, BF_RECT); break;
    case sbsRaised: DrawEdge(c->Handle(), &b, BDR_RAISEDINNER, BF_RECT); break;
    case sbsBump: DrawEdge(c->Handle(), &b, EDGE_BUMP, BF_RECT); break;
    case sbsEtched: DrawEdge(c->Handle(), &b, EDGE_ETCHED, BF_RECT); break;
  }
}

// ---------------------------------------------------------------- registration

namespace {

const bool registered = [] {
  using platform::RegisterClass;
  RegisterClass<TKALabel>("TKALabel", "TCustomLabel").Done();
  RegisterClass<TKlabel>("TKlabel", "TCustomLabel")
      .Bool("Separator", &TKlabel::SetSeparator, false)
      .Bool("Numeric", &TKlabel::SetNumeric, true)
      .Object("Pen", [](TKlabel* l) -> TPersistent* { return l->Pen(); })
      .Int("BoxWidth", &TKlabel::SetBoxWidth)
      .Enum<TStaticBorderStyle>("BorderStyle",
                                {{"sbsNone", sbsNone},
                                 {"sbsSingle", sbsSingle},
                                 {"sbsSunken", sbsSunken},
                                 {"sbsRaised", sbsRaised},
                                 {"sbsBump", sbsBump},
                                 {"sbsEtched", sbsEtched}},
                                &TKlabel::SetBorderStyle, sbsSingle)
      .Bool("AutoLen", &TKlabel::SetAutoLen, true)
      .Int("FieldLen", &TKlabel::SetFieldLen, 0)
      .Ignore("OnDragDrop")
      .Ignore("OnDragOver")
      .Ignore("OnEndDrag")
      .Ignore("OnStartDrag")
      .Done();
  return true;
}();

}  // namespace
