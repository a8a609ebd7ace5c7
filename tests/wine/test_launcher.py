"""The launcher as a real Windows process under Wine: what the companion receives, and when the
launcher refuses to launch."""

import winerun
from launcher_case import CannotStart, LauncherTestCase, main, prefix, program_name_and_tail


class LauncherTest(LauncherTestCase):
    # --- cases --------------------------------------------------------------------------------

    def test_hands_on_the_tail_unchanged(self):
        folder = self.stage()
        long_argument = "x" * 3000 + ' "with blanks" ' + "y" * 3000
        cases = [
            ("arguments", ' /a "b c"', '/a "b c"'),
            ("two blanks", "  /a", " /a"),
            ("one trailing blank", " ", ""),
            ("quoted path alone", "", ""),
            ("tab after the path", "\t/a", "/a"),
            ("quotes and backslashes", ' a\\"b "c\\\\" \\\\server\\share "" ^&|<>%PATH%',
             'a\\"b "c\\\\" \\\\server\\share "" ^&|<>%PATH%'),
            ("accents, CJK, outside the BMP", " café Größe 漢字 😀", "café Größe 漢字 😀"),
            ("several thousand characters", " " + long_argument, long_argument),
        ]
        for name, after_path, expected_tail in cases:
            with self.subTest(name):
                launch = self.launch(folder / "LauncherKestrel.exe", self.quoted(folder) + after_path)
                self.assertLaunched(launch, folder, expected_tail)

    def test_folder_with_blanks_and_non_ascii_characters(self):
        folder = self.stage("Scan Dépôt 漢字 😀")
        launch = self.launch(folder / "LauncherKestrel.exe", self.quoted(folder) + " /scan")
        self.assertLaunched(launch, folder, "/scan")

    def test_unquoted_and_relative_command_lines(self):
        folder = self.stage("Apps")
        unquoted = winerun.windows_path(folder / "LauncherKestrel.exe")
        cases = [
            ("unquoted full path", unquoted + " /a b", None),
            ("relative path", "Apps\\LauncherKestrel.exe /a b", self.work),
            ("bare name from its folder", "LauncherKestrel /a b", folder),
        ]
        for name, command_line, directory in cases:
            with self.subTest(name):
                launch = self.launch(folder / "LauncherKestrel.exe", command_line, directory)
                self.assertLaunched(launch, folder, "/a b")

    def test_launcher_in_a_drive_root(self):
        root = self.stage("DriveRoot")
        prefix.drive("y", root)
        launch = self.launch("Y:\\LauncherKestrel.exe", '"Y:\\LauncherKestrel.exe" /a', record_folder=root)
        self.assertEqual(launch.exit_code, 0)
        self.assertEqual(len(launch.records), 1)
        command_line, working_directory = launch.records[0]
        self.assertEqual(program_name_and_tail(command_line), ('"Y:\\Quillmere.exe"', "/a"))
        self.assertEqual(working_directory, "Y:\\")

    def test_long_launcher_paths(self):
        # 259 characters fill the first path buffer but for its zero; longer paths need it to
        # grow, where the system can start a program from such a folder at all.
        for length in (259, 260, 400):
            with self.subTest(length=length):
                folder = self.stage(self.folder_name_for_path_length(length))
                try:
                    launch = self.launch(folder / "LauncherKestrel.exe", self.quoted(folder) + " /a")
                except CannotStart:
                    self.skipTest(f"Wine cannot start a program whose path has {length} characters")
                self.assertLaunched(launch, folder, "/a")

    def folder_name_for_path_length(self, length):
        """A nested folder name that makes the launcher's Windows path `length` characters long."""
        top = f"L{length}"
        rest = length - len(winerun.windows_path(self.work / top / "LauncherKestrel.exe"))
        parts = [top] + ["n" * 99] * (rest // 100) + (["n" * (rest % 100 - 1)] if rest % 100 > 1 else [])
        name = "/".join(parts)
        self.assertEqual(len(winerun.windows_path(self.work / name / "LauncherKestrel.exe")), length)
        return name

    def test_a_held_instance_mutex_blocks_until_its_holder_is_gone(self):
        folder = self.stage()
        _, stop = self.hold("mutex")
        self.assertNothingStarted(self.launch(folder / "LauncherKestrel.exe", self.quoted(folder) + " /a"))

        holder, stop = self.holders.pop()
        stop.touch()
        holder.wait(timeout=30)
        self.assertLaunched(self.launch(folder / "LauncherKestrel.exe", self.quoted(folder) + " /a"), folder, "/a")

    def test_other_kinds_of_object_under_the_name_do_not_block(self):
        folder = self.stage()
        for kind in ("event", "semaphore", "mapping"):
            with self.subTest(kind):
                self.hold(kind)
                launch = self.launch(folder / "LauncherKestrel.exe", self.quoted(folder) + " /a")
                self.assertLaunched(launch, folder, "/a")
                holder, stop = self.holders.pop()
                stop.touch()
                holder.wait(timeout=30)

    def test_companion_missing_starts_nothing_and_looks_nowhere_else(self):
        folder = self.stage("Apps", companion=False)
        elsewhere = self.stage("CurrentDirectory")  # a companion where a search would find it
        launch = self.launch(folder / "LauncherKestrel.exe", self.quoted(folder) + " /a", elsewhere,
                             record_folder=elsewhere)
        self.assertNothingStarted(launch)
        self.assertIn("The specified file was not found.", launch.debug_output)

    def test_launch_success_is_described_to_the_debugger(self):
        folder = self.stage()
        launch = self.launch(folder / "LauncherKestrel.exe", self.quoted(folder))
        self.assertLaunched(launch, folder, "")
        self.assertIn("successful, returned a value greater than 32", launch.debug_output)



if __name__ == "__main__":
    main()
