#include "model/ui/node_properties_panel.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "model/field_text.h"
#include "model/movie.h"
#include "model/node_records.h"
#include "model/property_edits.h"
#include "model/ui/node_pictures.h"
#include "shell/program_folder.h"

namespace kinoloop {
namespace {

QString Line(const Movie& movie, int index) { return QString::fromStdString(movie.txtRecords.Line(index)); }
bool HasLine(const Movie& movie, int index) { return index < movie.txtRecords.LineCount(); }

QComboBox* DropDownList(const char* name) {
    auto* box = new QComboBox;
    box->setObjectName(name);
    box->setEditable(false);
    box->setMinimumWidth(160);
    return box;
}

bool DroppedDown(const QComboBox* box) { return box->view() != nullptr && box->view()->isVisible(); }

constexpr const char* kCameraNames[] = {"X", "Y", "Z", "Heading", "Pitch", "Roll", "FOV"};
constexpr const char* kCameraCaptions[] = {"x:", "y:", "z:", "heading:", "pitch:", "roll:", "fov:"};

}  // namespace

NodePropertiesPanel::NodePropertiesPanel(QWidget* parent) : QWidget(parent) {
    setObjectName("panPropertiesBase");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(BuildCommon());
    for (QWidget* panel : {BuildCamera(), BuildEffect(), BuildReplayStart(), BuildReplay(), BuildSound(),
                           BuildScript()}) {
        panel->hide();
        layout->addWidget(panel, 1);
    }
    layout->addStretch(0);
}

QWidget* NodePropertiesPanel::BuildCommon() {
    auto* common = new QWidget;
    common->setObjectName("panProperties");
    common->setFixedWidth(280);
    auto* grid = new QGridLayout(common);
    lblPropLabel_ = new QLabel("Properties");
    lblPropLabel_->setObjectName("lblPropLabel");
    QFont bold = lblPropLabel_->font();
    bold.setBold(true);
    lblPropLabel_->setFont(bold);
    grid->addWidget(lblPropLabel_, 0, 0, 1, 2);
    imgPropType_ = new QLabel;
    imgPropType_->setObjectName("imgPropType");
    imgPropType_->setFixedSize(32, 32);
    imgPropType_->setPixmap(KindPicture('N'));
    grid->addWidget(imgPropType_, 1, 0, 2, 1);
    lblNodeType_ = new QLabel("KNLOOP");
    lblNodeType_->setObjectName("lblNodeType");
    grid->addWidget(lblNodeType_, 1, 1);
    lblProject_ = new QLabel("Current Project Name: Untitled");
    lblProject_->setObjectName("lblProject");
    grid->addWidget(lblProject_, 3, 0, 1, 2);
    lblAuthor_ = new QLabel("Author: ");
    lblAuthor_->setObjectName("lblAuthor");
    grid->addWidget(lblAuthor_, 4, 0, 1, 2);
    grid->setRowStretch(5, 1);
    return common;
}

QWidget* NodePropertiesPanel::BuildCamera() {
    panCamera_ = new QWidget;
    panCamera_->setObjectName("panCamera");
    panCamera_->installEventFilter(this);
    auto* grid = new QGridLayout(panCamera_);
    grid->setVerticalSpacing(2);
    const auto& bars = CameraBars();
    for (int i = 0; i < 7; ++i) {
        const int row = i % 4;
        const int col = (i / 4) * 4;
        grid->addWidget(new QLabel(kCameraCaptions[i]), row, col);
        auto* box = new QLineEdit("0");
        box->setObjectName(QString("txt%1").arg(kCameraNames[i]));
        box->setFixedWidth(90);
        box->installEventFilter(this);
        grid->addWidget(box, row, col + 1);
        auto* button = new QPushButton("...");
        button->setObjectName(QString("btn%1").arg(kCameraNames[i]));
        button->setFixedSize(20, 20);
        button->setCursor(Qt::PointingHandCursor);
        grid->addWidget(button, row, col + 2);
        auto* bar = new QSlider(Qt::Horizontal);
        bar->setObjectName(bars[static_cast<std::size_t>(i)].name);
        bar->setFixedSize(113, 17);
        bar->setRange(bars[static_cast<std::size_t>(i)].minimum, bars[static_cast<std::size_t>(i)].maximum);
        bar->setPageStep(bars[static_cast<std::size_t>(i)].frequency);
        bar->setTickPosition(QSlider::NoTicks);
        if (i == 6) bar->setValue(kFovBarStart);
        bar->setCursor(Qt::PointingHandCursor);
        bar->installEventFilter(this);
        bar->hide();
        grid->addWidget(bar, row, col + 3);
        cameraBoxes_.push_back(box);
        cameraButtons_.push_back(button);
        cameraBars_.push_back(bar);
        connect(button, &QPushButton::clicked, this, [this, i] { OpenCameraBar(i); });
        connect(bar, &QSlider::valueChanged, this, [this, i](int position) { CameraBarMoved(i, position); });
    }
    grid->addWidget(new QLabel("view player:"), 3, 4);
    cmbPlayer_ = DropDownList("cmbPlayer");
    for (const std::string& item : ViewPlayerItems()) cmbPlayer_->addItem(QString::fromStdString(item));
    grid->addWidget(cmbPlayer_, 3, 5, 1, 3);
    grid->addWidget(new QLabel("Camera:"), 4, 0);
    cmbCamera_ = DropDownList("cmbCamera");
    for (const std::string& item : CameraTypeItems()) cmbCamera_->addItem(QString::fromStdString(item));
    grid->addWidget(cmbCamera_, 4, 1, 1, 3);
    grid->setColumnStretch(8, 1);

    connect(cmbCamera_, &QComboBox::activated, this, [this](int index) {
        if (movie_ != nullptr) SetFieldAndStore(*movie_, field::CamType, std::to_string(index));
    });
    connect(cmbPlayer_, &QComboBox::activated, this, [this](int index) {
        if (movie_ != nullptr) SetFieldAndStore(*movie_, field::CamViewPlayer, ViewPlayerField(index));
    });
    return panCamera_;
}

QWidget* NodePropertiesPanel::BuildEffect() {
    panEffect_ = new QWidget;
    panEffect_->setObjectName("panEffect");
    auto* layout = new QVBoxLayout(panEffect_);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel("Effect Name: "));
    cmbEffects_ = DropDownList("cmbEffects");
    row->addWidget(cmbEffects_, 1);
    layout->addLayout(row);
    auto* note = new QLabel("Use the Effects Configuration panel on the right to setup the selected effect.");
    note->setWordWrap(true);
    layout->addWidget(note);
    layout->addStretch(1);
    connect(cmbEffects_, &QComboBox::activated, this, [this](int index) {
        if (movie_ == nullptr || index < 0 || index >= static_cast<int>(effects_.size())) return;
        ShowEffectChoice(index);
        if (effect_.txtParam != nullptr) {
            effect_.txtParam->setText(Line(*movie_, 5));
            effect_.txtParam2->setText(Line(*movie_, 6));
            effect_.txtParam3->setText(Line(*movie_, 7));
            effect_.txtParam4->setText(Line(*movie_, 8));
            effect_.txtMessage->setText(Line(*movie_, 9));
        }
        SetFieldAndStore(*movie_, field::EffectName, cmbEffects_->itemText(index).toStdString());
    });
    return panEffect_;
}

QWidget* NodePropertiesPanel::BuildReplayStart() {
    panReplayStart_ = new QWidget;
    panReplayStart_->setObjectName("panReplayStart");
    auto* layout = new QHBoxLayout(panReplayStart_);
    layout->addWidget(new QLabel("Replay Name: "));
    cmbReplayStart_ = DropDownList("cmbReplayStart");
    layout->addWidget(cmbReplayStart_, 1);
    layout->addStretch(1);
    connect(cmbReplayStart_, &QComboBox::activated, this, [this](int index) {
        if (movie_ == nullptr) return;
        const auto choice = ParseReplayStartItem(cmbReplayStart_->itemText(index).toStdString());
        if (!choice || !HasLine(*movie_, field::StartReplayRow)) return;
        movie_->txtRecords.SetLine(field::StartReplayFile, choice->name);
        movie_->txtRecords.SetLine(field::StartReplayColumn, choice->column);
        movie_->txtRecords.SetLine(field::StartReplayRow, choice->row);
        StoreFieldBuffer(*movie_);
    });
    return panReplayStart_;
}

QWidget* NodePropertiesPanel::BuildReplay() {
    panReplay_ = new QWidget;
    panReplay_->setObjectName("panReplay");
    auto* grid = new QGridLayout(panReplay_);
    grid->addWidget(new QLabel("Replay Name: "), 0, 0);
    cmbReplay_ = DropDownList("cmbReplay");
    grid->addWidget(cmbReplay_, 0, 1);
    btnApplyReplay_ = new QPushButton("Apply");
    btnApplyReplay_->setObjectName("btnApplyReplay");
    btnApplyReplay_->setCursor(Qt::PointingHandCursor);
    grid->addWidget(btnApplyReplay_, 0, 2);
    grid->addWidget(new QLabel("Track Name:"), 1, 0);
    lblTrackName_ = new QLabel;
    lblTrackName_->setObjectName("lblTrackName");
    grid->addWidget(lblTrackName_, 1, 1);
    imgTrackName_ = new QLabel;
    imgTrackName_->setObjectName("imgTrackName");
    imgTrackName_->setFixedSize(96, 64);
    imgTrackName_->setScaledContents(true);
    grid->addWidget(imgTrackName_, 0, 3, 3, 1);
    grid->addWidget(new QLabel("Hot Moment Scan:"), 2, 0);
    btnScan_ = new QPushButton("Scan");
    btnScan_->setObjectName("btnScan");
    btnScan_->setCursor(Qt::PointingHandCursor);
    grid->addWidget(btnScan_, 2, 1, Qt::AlignLeft);
    grid->setColumnStretch(4, 1);
    connect(btnApplyReplay_, &QPushButton::clicked, this, &NodePropertiesPanel::ApplyReplay);
    connect(btnScan_, &QPushButton::clicked, this, [this] {
        if (hooks_.scanReplay) hooks_.scanReplay(cmbReplay_->currentText());
    });
    return panReplay_;
}

QWidget* NodePropertiesPanel::BuildSound() {
    panSound_ = new QWidget;
    panSound_->setObjectName("panSound");
    auto* layout = new QHBoxLayout(panSound_);
    layout->addWidget(new QLabel("Sound File:"));
    txtSoundFile_ = new QLineEdit;
    txtSoundFile_->setObjectName("txtSoundFile");
    txtSoundFile_->setReadOnly(true);
    layout->addWidget(txtSoundFile_, 1);
    btnBrowseSound_ = new QPushButton("Browse");
    btnBrowseSound_->setObjectName("btnBrowseSound");
    btnBrowseSound_->setCursor(Qt::PointingHandCursor);
    layout->addWidget(btnBrowseSound_);
    connect(btnBrowseSound_, &QPushButton::clicked, this, [this] {
        if (hooks_.browseSound) hooks_.browseSound();
    });
    return panSound_;
}

QWidget* NodePropertiesPanel::BuildScript() {
    panScript_ = new QWidget;
    panScript_->setObjectName("panScript");
    auto* layout = new QHBoxLayout(panScript_);
    layout->addWidget(new QLabel("Script Name: "));
    cmbScripts_ = DropDownList("cmbScripts");
    layout->addWidget(cmbScripts_, 1);
    btnEditScript_ = new QPushButton("Edit Script");
    btnEditScript_->setObjectName("btnEditScript");
    btnEditScript_->setCursor(Qt::PointingHandCursor);
    layout->addWidget(btnEditScript_);
    layout->addStretch(1);
    connect(cmbScripts_, &QComboBox::activated, this, [this](int index) {
        if (movie_ != nullptr) SetFieldAndStore(*movie_, field::ScriptName, cmbScripts_->itemText(index).toStdString());
    });
    connect(btnEditScript_, &QPushButton::clicked, this, [this] {
        if (hooks_.editScript) hooks_.editScript();
    });
    return panScript_;
}

void NodePropertiesPanel::SetEffects(std::vector<EffectEntry> effects) {
    effects_ = std::move(effects);
    cmbEffects_->clear();
    for (const EffectEntry& entry : effects_) cmbEffects_->addItem(entry.name);
    cmbEffects_->setCurrentIndex(-1);
}

void NodePropertiesPanel::SetScripts(const QStringList& names) {
    const QString current = cmbScripts_->currentText();
    cmbScripts_->clear();
    cmbScripts_->addItems(names);
    cmbScripts_->setCurrentIndex(cmbScripts_->findText(current));
}

QWidget* NodePropertiesPanel::KindPanel(char kind) const {
    switch (kind) {
        case 'C': return panCamera_;
        case 'E': return panEffect_;
        case 'G': return panReplayStart_;
        case 'R': return panReplay_;
        case 'T': return panSound_;
        case 'S': return panScript_;
        default: return nullptr;
    }
}

void NodePropertiesPanel::ShowPanel(QWidget* panel) {
    for (QWidget* p : {panCamera_, panEffect_, panReplayStart_, panReplay_, panSound_, panScript_}) {
        p->setVisible(p == panel);
    }
}

void NodePropertiesPanel::ShowNodeProperties(char kind) {
    if (movie_ == nullptr) return;
    const auto setKind = [this](char letter, const char* name) {
        imgPropType_->setPixmap(KindPicture(letter));
        lblNodeType_->setText(name);
    };
    filling_ = true;
    switch (kind) {
        case 'C':
            setKind('C', "Camera");
            FillCamera();
            // The camera keeps polling: the simulator's own camera is written back while this panel shows.
            ShowPanel(panCamera_);
            shown_ = 'C';
            filling_ = false;
            return;
        case 'E':
            setKind('E', "Effect");
            FillEffect();
            break;
        case 'G': {
            setKind('G', "Start");
            const QString item = QString::fromStdString(ReplayStartItem(
                movie_->txtRecords.Line(4), movie_->txtRecords.Line(5), movie_->txtRecords.Line(6)));
            cmbReplayStart_->setCurrentIndex(cmbReplayStart_->findText(item));
            break;
        }
        case 'N':
            setKind('N', "KNLOOP");
            ResetEffectEditors();
            if (effect_.lblEffectDetails != nullptr) effect_.lblEffectDetails->setText("Track: Unknown Cell: 0");
            if (effect_.txtAuthorNotes != nullptr) effect_.txtAuthorNotes->clear();
            lblProject_->setText("Current Project Name: " + QString::fromStdString(movie_->header.MovieFileName));
            lblAuthor_->setText("Author: " + QString::fromStdString(movie_->header.MovieAuthor));
            break;
        case 'R': {
            setKind('R', "Replay");
            imgTrackName_->clear();
            cmbReplay_->clear();
            if (hooks_.replayFiles) cmbReplay_->addItems(hooks_.replayFiles());
            cmbReplay_->setCurrentIndex(cmbReplay_->findText(Line(*movie_, 4)));
            if (cmbReplay_->currentIndex() >= 0) ShowReplayTrack(cmbReplay_->currentText());
            break;
        }
        case 'S':
            setKind('S', "Script");
            cmbScripts_->setCurrentIndex(cmbScripts_->findText(Line(*movie_, 4)));
            break;
        case 'T':
            setKind('T', "Sound");
            txtSoundFile_->setText(QString::fromStdString(FieldToPath(movie_->txtRecords.Line(4))));
            break;
        default: filling_ = false; return;
    }
    if (hooks_.stopCameraPolling) hooks_.stopCameraPolling();
    ShowPanel(KindPanel(kind));
    shown_ = KindPanel(kind) != nullptr ? kind : 'N';
    filling_ = false;
}

void NodePropertiesPanel::FillCamera() {
    // Guarded: the first line that is missing stops the filling; the panel still switches.
    static const int kLines[] = {4, 5, 6, 7, 8, 9};
    for (int i = 0; i < 6; ++i) {
        if (!HasLine(*movie_, kLines[i])) return;
        cameraBoxes_[static_cast<std::size_t>(i)]->setText(Line(*movie_, kLines[i]));
    }
    if (!DroppedDown(cmbPlayer_)) {
        const auto index = ViewPlayerItemIndex(movie_->txtRecords.Line(field::CamViewPlayer));
        if (!index) return;
        cmbPlayer_->setCurrentIndex(*index);
    }
    if (!DroppedDown(cmbCamera_)) {
        const auto type = ParseInt(movie_->txtRecords.Line(field::CamType));
        if (!type || *type < 0 || *type >= cmbCamera_->count()) return;
        cmbCamera_->setCurrentIndex(*type);
    }
    if (!HasLine(*movie_, field::CamFov)) return;
    cameraBoxes_[6]->setText(Line(*movie_, field::CamFov));
}

void NodePropertiesPanel::ShowEffectChoice(int index) {
    if (effect_.lblEffect == nullptr) return;
    if (index >= 0 && index < static_cast<int>(effects_.size())) {
        effect_.lblEffect->setText("Effect: " + cmbEffects_->itemText(index) + " - " +
                                   effects_[static_cast<std::size_t>(index)].author);
        effect_.txtAuthorNotes->setPlainText(effects_[static_cast<std::size_t>(index)].notes);
    } else {
        effect_.lblEffect->setText("Effect: No effect is selected");
    }
    const auto row = ParseInt(movie_->txtRecords.Line(2));
    const QString track = row ? QString::fromStdString(std::string(movie_->strTracks.Cell(0, *row))) : QString();
    effect_.lblEffectDetails->setText("Track: " + track + " Cell: " + Line(*movie_, 1));
    effect_.txtEffectID->setText(QString::number(index));
}

void NodePropertiesPanel::FillEffect() {
    const int index = cmbEffects_->findText(Line(*movie_, 4));
    cmbEffects_->setCurrentIndex(index);
    if (effect_.lblEffect == nullptr) return;
    ShowEffectChoice(index);
    if (!HasLine(*movie_, 9)) return;
    effect_.txtParam->setText(Line(*movie_, 5));
    effect_.txtParam2->setText(Line(*movie_, 6));
    effect_.txtParam3->setText(Line(*movie_, 7));
    effect_.txtParam4->setText(Line(*movie_, 8));
    effect_.txtMessage->setText(Line(*movie_, 9));
}

void NodePropertiesPanel::ResetEffectEditors() {
    cmbEffects_->setCurrentIndex(-1);
    if (effect_.lblEffect == nullptr) return;
    effect_.lblEffect->setText("Effect: No effect is selected");
    for (QLineEdit* box : {effect_.txtParam, effect_.txtParam2, effect_.txtParam3, effect_.txtParam4}) {
        box->setText("0");
    }
    effect_.txtMessage->clear();
    effect_.txtEffectID->setText("-1");
}

void NodePropertiesPanel::ShowReplayTrack(const QString& replayFile) {
    const QString track = hooks_.trackNameOf ? hooks_.trackNameOf(replayFile) : QString();
    movie_->header.MovieTrackName = track.toStdString();
    const QString picture = QString::fromStdString((ImgFolder() / (track.toStdString() + ".jpg")).string());
    ShowTrackName(track, !track.isEmpty() && QFile::exists(picture) ? picture : QString());
}

void NodePropertiesPanel::ShowTrackName(const QString& track, const QString& picturePath) {
    lblTrackName_->setText(track);
    if (picturePath.isEmpty()) {
        imgTrackName_->clear();
    } else {
        imgTrackName_->setPixmap(QPixmap(picturePath));
    }
}

void NodePropertiesPanel::SetPropertiesLabel(const QString& text) {
    lblPropLabel_->setText(text);
    lblPropLabel_->repaint();
}

void NodePropertiesPanel::RefreshReplayStarts() {
    if (movie_ == nullptr) return;
    cmbReplayStart_->clear();
    for (const std::string& item : ReplayStartItems(*movie_)) cmbReplayStart_->addItem(QString::fromStdString(item));
    cmbReplayStart_->setCurrentIndex(-1);
}

void NodePropertiesPanel::ApplyReplay() {
    // Replay control reads the track, fills the replay node, shows the empty panel and asks what comes next.
    if (hooks_.applyReplay) hooks_.applyReplay(cmbReplay_->currentText());
}

void NodePropertiesPanel::OpenCameraBar(int index) {
    QSlider* bar = cameraBars_[static_cast<std::size_t>(index)];
    const auto value = ParseInt(cameraBoxes_[static_cast<std::size_t>(index)]->text().toStdString());
    // A box that holds no whole number leaves the bar closed.
    if (!value) return;
    if (*value != bar->value()) {
        const QSignalBlocker block(bar);
        bar->setValue(*value);
        // The bar clamps; a position asked for outside its range still counts as a change, so the clamped
        // value is stored.
        CameraBarMoved(index, bar->value());
    }
    bar->show();
    bar->setFocus();
}

void NodePropertiesPanel::CameraBarMoved(int index, int position) {
    if (movie_ == nullptr || filling_) return;
    cameraBoxes_[static_cast<std::size_t>(index)]->setText(QString::number(position));
    SetFieldAndStore(*movie_, CameraBars()[static_cast<std::size_t>(index)].line, std::to_string(position));
}

void NodePropertiesPanel::CameraBoxEntered(int index) {
    if (movie_ == nullptr) return;
    SetFieldAndStore(*movie_, CameraBars()[static_cast<std::size_t>(index)].line,
                     cameraBoxes_[static_cast<std::size_t>(index)]->text().toStdString());
}

void NodePropertiesPanel::HideCameraBars() {
    for (QSlider* bar : cameraBars_) bar->hide();
}

bool NodePropertiesPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == panCamera_ && event->type() == QEvent::MouseButtonPress) {
        HideCameraBars();
        return false;
    }
    for (std::size_t i = 0; i < cameraBars_.size(); ++i) {
        if (watched == cameraBars_[i] && event->type() == QEvent::FocusOut) cameraBars_[i]->hide();
        if (watched == cameraBoxes_[i] && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                CameraBoxEntered(static_cast<int>(i));
                return true;  // the key is swallowed
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace kinoloop
