#include "platform/qt/qt_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>

#include "platform/qt/qt_convert.h"
#include "platform/qt/qt_images.h"

namespace opta::qt {
namespace {

using Kind = resources::DialogControl::Kind;

// Win32 style bits the templates carry that change what a control does.
constexpr unsigned kWsGroup = 0x00020000;
constexpr unsigned kWsDisabled = 0x08000000;
constexpr unsigned kEsCenter = 0x0001;
constexpr unsigned kEsRight = 0x0002;
constexpr unsigned kEsPassword = 0x0020;
constexpr unsigned kEsReadOnly = 0x0800;
constexpr unsigned kEsNumber = 0x2000;
constexpr unsigned kCbsSort = 0x0100;

// The point size of a template font at the 96 dpi the templates assume.
int PointsToPixels(int points) { return (points * 96 + 36) / 72; }

QFont DialogFont(const resources::DialogTemplate& tmpl, bool* exists) {
  const QString face = ToQString(tmpl.fontFace);
  *exists = !face.isEmpty() && QFontDatabase::families().contains(face, Qt::CaseInsensitive);
  QFont f;
  if (*exists) {
    f.setFamily(face);
    f.setPixelSize(PointsToPixels(tmpl.fontPoints > 0 ? tmpl.fontPoints : 8));
  } else {
    // The usual 8-point dialog font is 13 pixels tall with 6-pixel average
    // characters; 11-pixel DejaVu Sans fills about the same boxes.
    f.setPixelSize(11);
  }
  return f;
}

}  // namespace

QPixmap CentredCut(const QPixmap& picture, QSize control) {
  if (picture.isNull()) return picture;
  const int w = std::min(picture.width(), control.width());
  const int h = std::min(picture.height(), control.height());
  return picture.copy((picture.width() - w) / 2, (picture.height() - h) / 2, w, h);
}

DialogUnits DialogUnitsFor(const resources::DialogTemplate& tmpl) {
  bool exists = false;
  const QFont f = DialogFont(tmpl, &exists);
  DialogUnits u;
  if (!exists) return u;
  const QFontMetrics fm(f);
  // The average width of the alphabet, rounded as the dialog manager does.
  const int width =
      fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  u.baseX = std::max(1, (width / 26 + 1) / 2);
  u.baseY = std::max(1, fm.height());
  return u;
}

QtDialog::QtDialog(const resources::DialogTemplate& tmpl, platform::DialogProc& proc, platform::Ui& ui,
                   QWidget* owner)
    : QDialog(owner), proc_(proc), ui_(ui) {
  setWindowTitle(ToQString(tmpl.title));
  setModal(true);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  build(tmpl);
}

void QtDialog::build(const resources::DialogTemplate& tmpl) {
  bool fontExists = false;
  setFont(DialogFont(tmpl, &fontExists));
  const DialogUnits u = DialogUnitsFor(tmpl);
  setFixedSize(std::max(1, u.x(tmpl.cx)), std::max(1, u.y(tmpl.cy)));

  QButtonGroup* radioGroup = nullptr;  // the run of auto radio buttons being filled
  std::vector<QWidget*> frames;
  for (const auto& c : tmpl.controls) {
    const QRect geometry(u.x(c.x), u.y(c.y), std::max(1, u.x(c.cx)), std::max(1, u.y(c.cy)));
    const QString text = ToQString(c.text);
    QWidget* w = nullptr;
    if (c.kind != Kind::AutoRadioButton || (c.style & kWsGroup)) radioGroup = nullptr;
    switch (c.kind) {
      case Kind::PushButton:
      case Kind::DefPushButton: {
        auto* b = new QPushButton(text, this);
        b->setDefault(c.kind == Kind::DefPushButton);
        connect(b, &QPushButton::clicked, this, [this, id = c.id] { command(id); });
        w = b;
        break;
      }
      case Kind::RadioButton: {
        // A plain radio button changes only when its procedure checks it.
        auto* b = new QRadioButton(text, this);
        b->setAutoExclusive(false);
        connect(b, &QRadioButton::clicked, this, [this, b, id = c.id](bool checked) {
          b->setChecked(!checked);
          command(id);
        });
        w = b;
        break;
      }
      case Kind::AutoRadioButton: {
        auto* b = new QRadioButton(text, this);
        if (!radioGroup) radioGroup = new QButtonGroup(this);
        radioGroup->addButton(b);
        connect(b, &QRadioButton::clicked, this, [this, id = c.id] { command(id); });
        w = b;
        break;
      }
      case Kind::CheckBox: {
        auto* b = new QCheckBox(text, this);
        connect(b, &QCheckBox::clicked, this, [this, id = c.id] { command(id); });
        w = b;
        break;
      }
      case Kind::Edit: {
        auto* e = new QLineEdit(this);
        e->setText(text);
        if (c.style & kEsNumber)
          e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), e));
        if (c.style & kEsPassword) e->setEchoMode(QLineEdit::Password);
        if (c.style & kEsReadOnly) e->setReadOnly(true);
        if (c.style & kEsCenter) e->setAlignment(Qt::AlignHCenter);
        if (c.style & kEsRight) e->setAlignment(Qt::AlignRight);
        w = e;
        break;
      }
      case Kind::ComboDropDown: {
        auto* cb = new QComboBox(this);
        cb->setEditable(true);
        cb->setEditText(text);
        if (c.style & kCbsSort) cb->setInsertPolicy(QComboBox::InsertAlphabetically);
        w = cb;
        break;
      }
      case Kind::GroupBox: {
        auto* g = new QGroupBox(text, this);
        frames.push_back(g);
        w = g;
        break;
      }
      case Kind::Text:
      case Kind::CenterText: {
        auto* l = new QLabel(StripMnemonics(c.text), this);
        l->setWordWrap(true);
        l->setAlignment((c.kind == Kind::CenterText ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
        rawText_[l] = std::string(c.text);
        w = l;
        break;
      }
      case Kind::Icon: {
        // A static icon takes its icon's own size, whatever the template says.
        auto* l = new QLabel(this);
        const QPixmap pm = ResourcePixmap(c.text);
        l->setPixmap(pm);
        rawText_[l] = std::string(c.text);
        l->setGeometry(geometry.x(), geometry.y(), pm.isNull() ? geometry.width() : pm.width(),
                       pm.isNull() ? geometry.height() : pm.height());
        w = l;
        break;
      }
      case Kind::Bitmap: {
        // Centred in the control and cut by its edges; the rest takes the
        // colour of the picture's top-left pixel. Cut here, so that every
        // display scaling shows the same part of the picture.
        auto* l = new QLabel(this);
        const QPixmap pm = CentredCut(ResourcePixmap(c.text), geometry.size());
        l->setPixmap(pm);
        l->setAlignment(Qt::AlignCenter);
        if (!pm.isNull()) {
          const QColor corner = pm.toImage().pixelColor(0, 0);
          l->setAutoFillBackground(true);
          QPalette pal = l->palette();
          pal.setColor(QPalette::Window, corner);
          l->setPalette(pal);
        }
        rawText_[l] = std::string(c.text);
        frames.push_back(l);
        w = l;
        break;
      }
    }
    if (!w) continue;
    if (c.kind != Kind::Icon) w->setGeometry(geometry);
    // A drop-down combo's template height includes its open list; closed,
    // it is one edit line tall.
    if (c.kind == Kind::ComboDropDown) w->resize(geometry.width(), w->sizeHint().height());
    if (c.style & kWsDisabled) w->setEnabled(false);
    w->setObjectName(QStringLiteral("control_%1").arg(c.id));
    if (c.id != -1 && !controls_.count(c.id)) controls_[c.id] = w;
  }
  // Frames and pictures stay behind the controls that overlap them.
  for (auto* g : frames) g->lower();
}

int QtDialog::run() {
  proc_.onInit(*this);
  if (ended_) return result_;
  running_ = true;
  exec();
  running_ = false;
  return result_;
}

QWidget* QtDialog::control(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

void QtDialog::command(int id) {
  proc_.onCommand(*this, id);
  if (ended_ && running_) QDialog::done(result_);
}

void QtDialog::reject() { command(platform::IDCANCEL); }
void QtDialog::accept() { command(platform::IDOK); }

void QtDialog::end(int result) {
  ended_ = true;
  result_ = result;
}

std::string QtDialog::itemText(int id) const {
  QWidget* w = control(id);
  if (!w) return {};
  if (auto it = rawText_.find(w); it != rawText_.end()) return it->second;
  if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text().toStdString();
  if (auto* cb = qobject_cast<QComboBox*>(w)) return cb->currentText().toStdString();
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text().toStdString();
  if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title().toStdString();
  return {};
}

void QtDialog::setItemText(int id, std::string_view text) {
  QWidget* w = control(id);
  if (!w) return;
  const QString s = ToQString(text);
  if (auto* l = qobject_cast<QLabel*>(w)) {
    rawText_[l] = std::string(text);
    if (l->pixmap().isNull()) l->setText(StripMnemonics(text));
  } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
    e->setText(s);
  } else if (auto* cb = qobject_cast<QComboBox*>(w)) {
    cb->setEditText(s);
  } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
    b->setText(s);
  } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
    g->setTitle(s);
  }
}

bool QtDialog::isChecked(int id) const {
  auto* b = qobject_cast<QAbstractButton*>(control(id));
  return b && b->isCheckable() && b->isChecked();
}

void QtDialog::setChecked(int id, bool checked) {
  auto* b = qobject_cast<QAbstractButton*>(control(id));
  if (!b || !b->isCheckable()) return;
  // An exclusive group refuses to uncheck its checked button directly.
  QButtonGroup* g = b->group();
  const bool exclusive = g && g->exclusive();
  if (exclusive) g->setExclusive(false);
  b->setChecked(checked);
  if (exclusive) g->setExclusive(true);
}

void QtDialog::checkRadioButton(int first, int last, int id) {
  for (const auto& [cid, w] : controls_) {
    if (cid < first || cid > last) continue;
    setChecked(cid, cid == id);
  }
}

}  // namespace opta::qt
