// The one check of what the board shows: picBoard's picture must equal a
// fresh paint of the game as it stands into a surface of its own, every
// tile placed by its cell for the board's size, with the selected tile lit,
// the shown hint pair lit, and nothing else.
#pragma once

#include <QString>
#include <cstring>

#include "frmMain.h"

class BoardCheck {
public:
    // Empty when the board shows the game, else what differs.
    QString Differs(frmMain& form) {
        const modTile& game = form.Engine();
        const Surface& board = form.BoardPicture();
        if (paint_.ScaleWidth() != board.ScaleWidth() || paint_.ScaleHeight() != board.ScaleHeight())
            paint_.Resize(board.ScaleWidth(), board.ScaleHeight());
        fresh_.picBoard = &paint_;
        fresh_.picMask = game.picMask;
        fresh_.picPaint = game.picPaint;
        fresh_.picSkin = game.picSkin;
        fresh_.TileSetDC = game.TileSetDC;
        fresh_.BackgroundColour = game.BackgroundColour;
        fresh_.BackgroundIsImage = game.BackgroundIsImage;
        fresh_.ImageStretch = game.ImageStretch;
        fresh_.Tiles = game.Tiles;
        std::memcpy(fresh_.Board, game.Board, sizeof game.Board);
        fresh_.MaxLayer = game.MaxLayer;
        fresh_.TilesLeft = game.TilesLeft;

        fresh_.CenterBoard();
        if (fresh_.OffsetX != game.OffsetX || fresh_.OffsetY != game.OffsetY)
            return QStringLiteral("the layout lies at (%1, %2), centred it lies at (%3, %4)")
                .arg(game.OffsetX).arg(game.OffsetY).arg(fresh_.OffsetX).arg(fresh_.OffsetY);
        fresh_.RedrawBoard();
        for (int16_t i = 1; i <= 144; ++i) {
            const TileRec &t = game.Tiles[i], &cell = fresh_.Tiles[i];
            if (game.Board[t.Col][t.Row][t.Layer] == i && (t.X != cell.X || t.Y != cell.Y))
                return QStringLiteral("tile %1 stands at (%2, %3), its cell at (%4, %5)")
                    .arg(i).arg(t.X).arg(t.Y).arg(cell.X).arg(cell.Y);
        }
        if (form.HintShown) {
            if (form.HintIndex < 1 || form.HintIndex > form.MatchListCount)
                return QStringLiteral("a hint is shown with no pair at %1").arg(form.HintIndex);
            fresh_.HighlightTile(form.MatchTileA[form.HintIndex]);
            fresh_.HighlightTile(form.MatchTileB[form.HintIndex]);
        }
        if (form.SelectedTile >= 0) fresh_.HighlightTile(form.SelectedTile);

        long differing = 0;
        int firstX = 0, firstY = 0;
        for (int y = 0; !board.Empty() && y < board.ScaleHeight(); ++y) {
            const uint32_t* shown = board.Bits() + static_cast<size_t>(y) * board.ScaleWidth();
            const uint32_t* due = static_cast<const Surface&>(paint_).Bits() + static_cast<size_t>(y) * board.ScaleWidth();
            if (std::memcmp(shown, due, board.ScaleWidth() * sizeof(uint32_t)) == 0) continue;
            for (int x = 0; x < board.ScaleWidth(); ++x) {
                if (shown[x] == due[x]) continue;
                if (differing++ == 0) firstX = x, firstY = y;
            }
        }
        if (differing == 0) return {};
        return QStringLiteral("%1 pixels differ from the game (selected %2, hint shown %3), the first at (%4, %5): "
                              "%6 where the game has %7")
            .arg(differing).arg(form.SelectedTile).arg(form.HintShown)
            .arg(firstX).arg(firstY)
            .arg(board.Pixel(firstX, firstY), 6, 16, QLatin1Char('0'))
            .arg(paint_.Pixel(firstX, firstY), 6, 16, QLatin1Char('0'));
    }

private:
    struct NoHost final : EngineHost {
        void SetFormEnabled(bool) override {}
        std::string PatternText() const override { return {}; }
        int16_t EasyValue() const override { return 0; }
        void SetTimerEnabled(bool) override {}
        void SetTilesCaption(const std::string&) override {}
        void SetMatchCaption(const std::string&) override {}
    };
    struct StillClock final : Clock {
        int64_t Now() override { return 0; }
    };
    NoHost host_;
    SeededRandom random_{1};
    StillClock clock_;
    Surface paint_;
    modTile fresh_{host_, random_, clock_};  // keeps its stretched picture between checks
};
