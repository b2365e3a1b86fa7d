#include "shell/ui/tfrm_hot_moments.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QStackedWidget>
#include <QTabBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "shell/notices.h"
#include "shell/program_folder.h"
#include "shell/ui/program_windows.h"

namespace kinoloop {

namespace {

constexpr int kRefreshMs = 2000;
constexpr const char* kStartScanFirst = "start scan first";

QLabel* Label(const char* name, const QString& text) {
    auto* label = new QLabel(text);
    label->setObjectName(name);
    return label;
}

QPushButton* Button(const char* name, const char* caption) {
    auto* button = new QPushButton(caption);
    button->setObjectName(name);
    return button;
}

QSlider* Slider(const char* name, int minimum, int maximum, int value, int page) {
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setObjectName(name);
    slider->setRange(minimum, maximum);
    slider->setSingleStep(1);
    slider->setPageStep(page);
    slider->setValue(value);
    return slider;
}

QLabel* Help(const char* text) {
    auto* help = new QLabel(text);
    help->setWordWrap(true);
    return help;
}

// The race labels and their captions, in the page's order.
struct RaceLabel {
    QLabel* TfrmHotMoments::*label;
    const char* caption;
};
constexpr RaceLabel kRaceLabels[] = {
    {&TfrmHotMoments::lblLocation, "Location: "},
    {&TfrmHotMoments::lblPlayers, "Number of Player: "},
    {&TfrmHotMoments::lblNumConnections, "Number of Connections: "},
    {&TfrmHotMoments::lblNumFinished, "Number Finished: "},
    {&TfrmHotMoments::lblRaceProgress, "Race Progress: "},
    {&TfrmHotMoments::lblQualMins, "Qualify Minutes: "},
    {&TfrmHotMoments::lblRaceLaps, "Race Laps: "},
    {&TfrmHotMoments::lblWeather, "Weather: "},
    {&TfrmHotMoments::lblWind, "Wind: "},
};

const char* const kColumns[] = {"Start",    "End",      "Duration",    "Action",
                                "Player 1", "Player 2", "Player 1 ID", "Player 2 ID"};

}  // namespace

TfrmHotMoments::TfrmHotMoments(QWidget* parent) : QDialog(parent, Qt::Window) {
    setObjectName("frmHotMoments");
    setWindowTitle("Hot Moment Scan");
    setModal(false);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(448, 308);
    QFont small("Arial");
    small.setPointSize(8);
    setFont(small);

    auto* header = new QFrame;
    header->setObjectName("panHeader");
    header->setAutoFillBackground(true);
    QPalette white = header->palette();
    white.setColor(QPalette::Window, Qt::white);
    header->setPalette(white);
    auto* headerLayout = new QVBoxLayout(header);
    headerLayout->setContentsMargins(8, 4, 8, 4);
    headerLayout->setSpacing(0);
    QLabel* title = Label("lblTitle", "Hot Moment Scan");
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    headerLayout->addWidget(title);
    headerLayout->addWidget(Label("lblSubtitle", "Use the options below to configure and start the scan"));

    pages = new QStackedWidget;
    pages->addWidget(BuildConfigurePage());
    pages->addWidget(BuildScanPage());
    pages->addWidget(BuildMomentsPage());
    TabSet1 = new QTabBar;
    TabSet1->setObjectName("TabSet1");
    TabSet1->setShape(QTabBar::RoundedSouth);
    for (const char* tab : {"Configure", "Start/Stop Scan", "Hot Moments"}) TabSet1->addTab(tab);
    connect(TabSet1, &QTabBar::currentChanged, pages, &QStackedWidget::setCurrentIndex);
    btnExit = Button("btnExit", "Exit");
    connect(btnExit, &QPushButton::clicked, this, &TfrmHotMoments::btnExitClick);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(btnExit);
    bottom->addWidget(TabSet1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 4);
    layout->setSpacing(2);
    layout->addWidget(header);
    layout->addWidget(pages, 1);
    layout->addLayout(bottom);

    tmrDisplayMoments_.setInterval(kRefreshMs);
    connect(&tmrDisplayMoments_, &QTimer::timeout, this, &TfrmHotMoments::RefreshMoments);
    ShowSliderLabels();
}

TfrmHotMoments::~TfrmHotMoments() {
    ShutDown();
}

void TfrmHotMoments::ShutDown() {
    tmrDisplayMoments_.stop();
    // The simulator stops sending car data to a program that has gone.
    if (ctx_.sendValue) ctx_.sendValue("ISC", 0);
    ctx_ = {};
}

QWidget* TfrmHotMoments::BuildConfigurePage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    lblDistance = Label("lblDistance", "");
    trkDistThreshold = Slider("trkDistThreshold", 0, 200, kDefaultDistance, 1);
    lblDrift = Label("lblDrift", "");
    trkDriftThreshold = Slider("trkDriftThreshold", 5, 1800, kDefaultDrift, 10);
    lblAV = Label("lblAV", "");
    trkAngVel = Slider("trkAngVel", 500, 20000, kDefaultAngVel, 10);
    const struct {
        QLabel* label;
        QSlider* slider;
        const char* help;
    } rows[] = {
        {lblDistance, trkDistThreshold,
         "Use this slider to set the minimum distance between 2 cars before the scan starts to record close "
         "action. "
         "The default is 6.0m"},
        {lblDrift, trkDriftThreshold,
         "Use this slider to set the minimum angle of rotation before the scan will start to record. The "
         "default "
         "is 10.0°"},
        {lblAV, trkAngVel,
         "Use this slider to set the minimum angular velocity before the scan starts to record. This option "
         "is "
         "used in impacts with other cars and barriers. The default is 4000"},
    };
    int row = 0;
    for (const auto& r : rows) {
        auto* left = new QVBoxLayout;
        left->addWidget(r.label);
        left->addWidget(r.slider);
        grid->addLayout(left, row, 0);
        grid->addWidget(Help(r.help), row, 1);
        connect(r.slider, &QSlider::valueChanged, this, &TfrmHotMoments::ShowSliderLabels);
        ++row;
    }
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    btnDefault = Button("btnDefault", "Default");
    connect(btnDefault, &QPushButton::clicked, this, &TfrmHotMoments::btnDefaultClick);
    grid->addWidget(btnDefault, row, 0, Qt::AlignLeft);
    return page;
}

QWidget* TfrmHotMoments::BuildScanPage() {
    auto* page = new QWidget;
    auto* layout = new QGridLayout(page);
    layout->setVerticalSpacing(1);
    lblScan = Label("lblScan", "Replay to be scanned: unknown");
    layout->addWidget(lblScan, 0, 0, 1, 2);
    imgTrackName = Label("imgTrackName", "");
    imgTrackName->setFixedSize(87, 71);
    imgTrackName->setScaledContents(true);
    imgTrackName->setFrameShape(QFrame::Box);
    layout->addWidget(imgTrackName, 0, 2, 4, 1, Qt::AlignRight | Qt::AlignTop);
    int row = 1;
    for (const RaceLabel& race : kRaceLabels) {
        QLabel* label = new QLabel;
        this->*race.label = label;
        layout->addWidget(label, row++, 0, 1, 2);
    }
    ResetRaceLabels();
    lblLocation->setObjectName("lblLocation");
    lblPlayers->setObjectName("lblPlayers");
    lblNumConnections->setObjectName("lblNumConnections");
    lblNumFinished->setObjectName("lblNumFinished");
    lblRaceProgress->setObjectName("lblRaceProgress");
    lblQualMins->setObjectName("lblQualMins");
    lblRaceLaps->setObjectName("lblRaceLaps");
    lblWeather->setObjectName("lblWeather");
    lblWind->setObjectName("lblWind");
    lblStatus = Label("lblStatus", "Status: Idle");
    lblStatus->setAlignment(Qt::AlignCenter);
    layout->addWidget(lblStatus, row++, 0, 1, 3);
    lblHint = Label("lblHint", "- You can change tabs to see the action -");
    lblHint->setAlignment(Qt::AlignCenter);
    lblHint->hide();
    layout->addWidget(lblHint, row++, 0, 1, 3);
    btnStopScan = Button("btnStopScan", "Stop Scan");
    btnStopScan->setEnabled(false);
    btnStartScan = Button("btnStartScan", "Start Scan");
    connect(btnStopScan, &QPushButton::clicked, this, &TfrmHotMoments::btnStopScanClick);
    connect(btnStartScan, &QPushButton::clicked, this, &TfrmHotMoments::btnStartScanClick);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnStopScan);
    buttons->addWidget(btnStartScan);
    layout->addLayout(buttons, row, 0, 1, 3);
    return page;
}

QWidget* TfrmHotMoments::BuildMomentsPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* top = new QHBoxLayout;
    lblHotMomentsNumber = Label("lblHotMomentsNumber", "Hot Moments Found: 0");
    lblScanNumber = Label("lblScanNumber", "Scans: 0");
    lblScanNumber->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    top->addWidget(lblHotMomentsNumber);
    top->addStretch(1);
    top->addWidget(lblScanNumber);
    layout->addLayout(top);
    auto* interval = new QHBoxLayout;
    interval->addWidget(new QLabel("List Update Interval: (sec)"));
    cmbInterval = new QComboBox;
    cmbInterval->setObjectName("cmbInterval");
    for (int seconds = 1; seconds <= 10; ++seconds) cmbInterval->addItem(QString::number(seconds));
    cmbInterval->setCurrentText("2");
    connect(cmbInterval, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        bool ok = false;
        const int seconds = text.toInt(&ok);
        if (ok && seconds > 0) tmrDisplayMoments_.setInterval(seconds * 1000);
    });
    interval->addWidget(cmbInterval);
    interval->addStretch(1);
    layout->addLayout(interval);
    lstMoments = new QTreeWidget;
    lstMoments->setObjectName("lstMoments");
    lstMoments->setRootIsDecorated(false);
    lstMoments->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstMoments->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstMoments->setColumnCount(8);
    QStringList headers;
    for (const char* column : kColumns) headers << column;
    lstMoments->setHeaderLabels(headers);
    lstMoments->setColumnWidth(3, 90);
    lstMoments->setColumnWidth(4, 75);
    lstMoments->setColumnWidth(5, 75);
    layout->addWidget(lstMoments, 1);
    btnAddToTimeline = Button("btnAddToTimeline", "Add To Timeline");
    btnAddToTimeline->setEnabled(false);
    connect(btnAddToTimeline, &QPushButton::clicked, this, &TfrmHotMoments::btnAddToTimelineClick);
    layout->addWidget(btnAddToTimeline, 0, Qt::AlignRight);
    return page;
}

void TfrmHotMoments::ShowSliderLabels() {
    lblDistance->setText("Distance Threshold: " + QString::number(trkDistThreshold->value() / 10.0, 'f', 1) +
                         "m");
    lblDrift->setText("Drift Threshold: " + QString::number(trkDriftThreshold->value() / 10.0, 'f', 1) + "°");
    lblAV->setText("Angular Velocity: " + QString::number(trkAngVel->value()));
}

void TfrmHotMoments::ResetRaceLabels() {
    for (const RaceLabel& race : kRaceLabels)
        (this->*race.label)->setText(QString(race.caption) + kStartScanFirst);
}

bool TfrmHotMoments::ScanRunning() const {
    return btnStopScan->isEnabled();
}

void TfrmHotMoments::SetIdle() {
    tmrDisplayMoments_.stop();
    btnStartScan->setEnabled(true);
    btnStopScan->setEnabled(false);
    lblStatus->setText("Status: Idle");
    lblStatus->setStyleSheet("color: black");
    lblHint->hide();
}

void TfrmHotMoments::SetupScan(const std::string& replayName) {
    ShowOnTop(this);
    replayName_ = replayName;
    lblScan->setText("Replay to be scanned: " + QString::fromStdString(replayName));
    trackName_ = ctx_.trackNameOf ? ctx_.trackNameOf(replayName) : std::string();
    const QString picture = QString::fromStdString((ImgFolder() / (trackName_ + ".jpg")).string());
    // A track without a picture leaves the previous one.
    if (!trackName_.empty() && QFile::exists(picture)) imgTrackName->setPixmap(QPixmap(picture));
    ResetRaceLabels();
    SetIdle();
    TabSet1->setCurrentIndex(0);
    pages->setCurrentIndex(0);
}

void TfrmHotMoments::btnStartScanClick() {
    moments_.Clear();
    if (ctx_.sendValue) ctx_.sendValue("NLI", 100);  // car data every 100 ms
    if (ctx_.quickPreview) ctx_.quickPreview();
    tmrDisplayMoments_.start();
    btnStartScan->setEnabled(false);
    btnStopScan->setEnabled(true);
    btnAddToTimeline->setEnabled(false);
    lblStatus->setText("Status: Scanning...");
    lblStatus->setStyleSheet("color: blue");
    lblHint->show();
}

void TfrmHotMoments::btnStopScanClick() {
    if (ctx_.stopPlayback) ctx_.stopPlayback();
    SetIdle();
    // The list keeps the last refresh's hot moments: those are what "Add To Timeline" takes.
    btnAddToTimeline->setEnabled(true);
}

void TfrmHotMoments::btnExitClick() {
    SetIdle();
    btnAddToTimeline->setEnabled(true);
    hide();
}

void TfrmHotMoments::btnDefaultClick() {
    trkDistThreshold->setValue(kDefaultDistance);
    trkDriftThreshold->setValue(kDefaultDrift);
    trkAngVel->setValue(kDefaultAngVel);
}

void TfrmHotMoments::RefreshMoments() {
    const AnalysisResult analysed = moments_.Analyse(
        Thresholds::FromSliders(trkDistThreshold->value(), trkDriftThreshold->value(), trkAngVel->value()));
    if (!analysed.ok) QApplication::beep();  // the moments found before the failure are still listed
    lblHotMomentsNumber->setText("Hot Moments Found: " + QString::number(moments_.HotMoments().size()));
    lstMoments->setUpdatesEnabled(false);
    lstMoments->clear();
    QList<QTreeWidgetItem*> items;
    for (const MomentListRow& row : MomentListRows(moments_)) {
        QStringList texts;
        for (const std::string* text : {&row.Start, &row.End, &row.Duration, &row.Action, &row.Player1,
                                        &row.Player2, &row.Player1ID, &row.Player2ID}) {
            texts << QString::fromStdString(*text);
        }
        items << new QTreeWidgetItem(texts);
    }
    lstMoments->addTopLevelItems(items);
    lstMoments->setUpdatesEnabled(true);
    if (!items.isEmpty()) lstMoments->scrollToItem(items.last());
}

std::vector<MomentListRow> TfrmHotMoments::ListedRows() const {
    std::vector<MomentListRow> rows;
    for (int i = 0; i < lstMoments->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = lstMoments->topLevelItem(i);
        const auto text = [item](int column) { return item->text(column).toStdString(); };
        rows.push_back({text(0), text(1), text(2), text(3), text(4), text(5), text(6), text(7)});
    }
    return rows;
}

void TfrmHotMoments::btnAddToTimelineClick() {
    if (ctx_.movie == nullptr || ctx_.notices == nullptr) return;
    const AddToTimelineResult added = AddToTimeline(*ctx_.movie, *ctx_.notices, ListedRows());
    if (added.trackRow > 0 && ctx_.refreshTimeline) ctx_.refreshTimeline();
}

void TfrmHotMoments::ShowRaceInfo(const StateReport& state) {
    lastState_ = state;
    const auto show = [](QLabel* label, const char* caption, int value) {
        label->setText(caption + QString::number(value));
    };
    lblLocation->setText("Location: " + QString::fromStdString(state.track));
    show(lblPlayers, "Number of Player: ", state.numPlayers);
    show(lblNumConnections, "Number of Connections: ", state.numConnections);
    show(lblNumFinished, "Number Finished: ", state.numFinished);
    show(lblRaceProgress, "Race Progress: ", state.raceProgress);
    show(lblQualMins, "Qualify Minutes: ", state.qualMins);
    show(lblRaceLaps, "Race Laps: ", state.raceLaps);
    show(lblWeather, "Weather: ", state.weather);
    show(lblWind, "Wind: ", state.wind);
    // Repainted at once, without serving other events: this runs inside the link's packet handling, which
    // must not take the next datagram before it has finished with this one.
    for (const RaceLabel& race : kRaceLabels) (this->*race.label)->repaint();
}

void TfrmHotMoments::ShowScanCount(const std::string& text) {
    lblScanNumber->setText(QString::fromStdString(text));
}

}  // namespace kinoloop
