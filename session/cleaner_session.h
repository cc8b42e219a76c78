#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/clean_plan.h"
#include "platform/environment.h"
#include "platform/platform_services.h"
#include "platform/registry.h"
#include "settings/clean_entry.h"
#include "settings/clean_locations.h"
#include "settings/clean_settings.h"
#include "settings/entry_list.h"
#include "settings/profile.h"
#include "window/list_control.h"
#include "window/message_box.h"
#include "window/window_controls.h"

// The controls of the main window that the session works on: the Qt
// window's widgets, or controls held in memory.
struct SessionControls {
  CheckBoxes& boxes;
  StatusLine& status;
  WaitCursor& waitCursor;
  ListControl& list;
  MessageBox& messages;
};

// Where a session's start-up reads from; everything outlives the session.
struct SessionSources {
  Profile& profile;                 // the program's own settings
  const RegistryStrings& registry;  // where other programs keep their folders
  const Environment& environment;
  std::string applicationName;  // captions the settings' messages
};

// The main window's life without the window: the locations found at
// start-up, the options, the entries (as the list's rows) and whether the
// window has ended. The Qt window, the unattended start and the command
// line each hold one, so that they start, clean, preview and exit by the
// same steps and from the same sources.
//
//   CleanerSession session(controls, sources, platform, [&] { CloseTheWindow(); });
//   session.Start();
//   if (session.Settings().m_bAutoClean) session.Clean();
//   ...
//   session.Exit();  // saves once
class CleanerSession {
 public:
  // `onEnded` runs once the session has ended and its settings are saved
  // (the Qt window closes itself there).
  CleanerSession(SessionControls controls, SessionSources sources, PlatformServices platform,
                 std::function<void()> onEnded = {});
  CleanerSession(const CleanerSession&) = delete;
  CleanerSession& operator=(const CleanerSession&) = delete;

  // The window's start-up up to its auto-clean decision: the locations
  // found (categories without one switched off), then the settings loaded.
  void Start();
  // One clean run; with "Quit after cleaning" it ends the session (Exit).
  void Clean();
  // What a clean would delete now, as a guarded plan; the status line names
  // each step under the wait cursor and is empty again at the end.
  CleanPlan GatherPreview(const GatherObserver& observer = {});
  // What a clean run gathers, for one that follows at once unseen: an
  // unguarded plan, whose files are judged at their deletion; the status
  // line as for the preview.
  CleanPlan GatherClean(const GatherObserver& observer = {});
  // Saves the settings, once, and ends the session; later calls do nothing.
  void Exit();

  // The tooltip of a category's box: what it cleans here, or why it is
  // switched off (see category_tips.h). Meant after Start().
  std::string BoxTip(ControlId box);

  // What a clean gathers: the ticked boxes, the locations, the entries.
  CleanSelection Selection() const;
  // The entries, top row first; rows that can't be read are left out.
  std::vector<CleanEntry> EntriesTopFirst() const;

  bool HasEnded() const { return ended_; }
  CleanSettings& Settings() { return settings_; }
  const CleanSettings& Settings() const { return settings_; }
  const CleanLocations& Locations() const { return locations_; }
  const CheckBoxes& Boxes() const { return controls_.boxes; }
  EntryList& Entries() { return entries_; }
  PlatformServices& Platform() { return platform_; }

 private:
  SessionControls controls_;
  SessionSources sources_;
  PlatformServices platform_;
  std::function<void()> onEnded_;
  EntryList entries_;
  CleanLocations locations_;
  CleanSettings settings_;
  CleanPlan Gather(const GatherObserver& observer, bool guard);

  bool ended_ = false;
};
