#pragma once
// The game's settings, answered by the settings window from its controls at the moment the
// game asks: the controls stay the only copy of the configuration.

#include "clock/GameSettings.h"

class frm_Chiplark;

class WindowSettings final : public GameSettings {
public:
    explicit WindowSettings(frm_Chiplark &window) : window_(window) {}

    int levelCount() const override;
    QString levelLine(int row) const override;
    QString smallBlind(int row) const override;
    QString bigBlind(int row) const override;
    QString levelTime(int row) const override;
    std::vector<std::array<QString, 3>> levels() const override;
    int selectedRow() const override;
    void selectRow(int row) override;
    bool breakOn() const override;
    QString breakEvery() const override;
    QString breakMinutes() const override;
    bool repeatBreak() const override;
    AnteRule anteRule() const override;
    plan::PlanSetup planSetup() const override;
    bool speechOn() const override;
    Phrases phrases() const override;
    QString soundToPlay() const override;
    QString longTime(qint64 seconds) const override;
    QString title() const override;
    std::array<qint32, 4> colours() const override;
    std::vector<std::array<QString, 3>> snapshot() const override;
    void restore(const tournament::SavedGame &game) override;

private:
    frm_Chiplark &window_;
};
