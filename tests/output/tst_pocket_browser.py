#!/usr/bin/python3
"""The pocket catalogue in a real browser at a phone's size: written by `lirabel3 --poche`
from a small catalogue, then searched, grouped and opened as a collector would, with the
browser's network log and the page's own record of any script that ran.

tst_pocket_browser.py LIRABEL3 POCKET_FIXTURE
Exits 77 (skipped, said why) when no browser can be started here."""

import json
import os
import subprocess
import sys
import tempfile
import unittest

SKIPPED = 77
CHROMIUM = "/usr/bin/chromium"
CHROMEDRIVER = "/usr/bin/chromedriver"

try:
    from selenium import webdriver
    from selenium.common.exceptions import NoAlertPresentException, WebDriverException
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys
    from selenium.webdriver.support.ui import Select, WebDriverWait
except ImportError as missing:
    print(f"IGNORÉ : Selenium manque ({missing}) : apt-get install python3-selenium")
    sys.exit(SKIPPED)

PHONE = {"width": 360, "height": 740, "pixelRatio": 3}


def start_browser(width=PHONE["width"], height=PHONE["height"], font_size=None):
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for flag in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                 "--disable-background-networking", "--disable-component-update",
                 "--no-first-run", "--disable-sync", "--disable-default-apps", "--lang=fr-FR"):
        options.add_argument(flag)
    options.add_experimental_option(
        "mobileEmulation", {"deviceMetrics": {"width": width, "height": height,
                                              "pixelRatio": PHONE["pixelRatio"], "touch": True}})
    if font_size:
        options.add_experimental_option(
            "prefs", {"webkit": {"webprefs": {"default_font_size": font_size}}})
    options.set_capability("goog:loggingPrefs", {"performance": "ALL", "browser": "ALL"})
    driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
    # Before any script of the page: what the policy refused is kept for the test.
    driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": """
        window.refused = [];
        document.addEventListener('securitypolicyviolation',
            e => window.refused.push(e.violatedDirective + ' ' + e.blockedURI));"""})
    return driver


class PocketPage(unittest.TestCase):
    folder = page = driver = None
    folds = []

    @classmethod
    def setUpClass(cls):
        lirabel, fixture = sys.argv[1], sys.argv[2]
        cls.tmp = tempfile.TemporaryDirectory()
        cls.folder = os.path.join(cls.tmp.name, "catalogue")
        os.mkdir(cls.folder)
        subprocess.run([fixture, cls.folder], check=True)
        with open(os.path.join(cls.folder, "folds.json"), encoding="utf-8") as f:
            cls.folds = json.load(f)
        cls.page = os.path.join(cls.tmp.name, "poche.html")
        env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(cls.tmp.name, "config"))
        done = subprocess.run([lirabel, "--poche", cls.page, cls.folder], env=env,
                              capture_output=True, text=True)
        if done.returncode != 0:
            raise RuntimeError(f"lirabel3 --poche : {done.returncode} {done.stderr}")
        cls.driver = start_browser()
        cls.url = "file://" + cls.page

    @classmethod
    def tearDownClass(cls):
        if cls.driver:
            cls.driver.quit()
        cls.tmp.cleanup()

    def setUp(self):
        self.load()
        self.driver.get_log("performance")  # what the last test requested is not ours

    def load(self, driver=None):
        driver = driver or self.driver
        driver.get(self.url)
        WebDriverWait(driver, 20).until(
            lambda d: d.execute_script("return performance.getEntriesByName('first-list')"
                                       ".length > 0"))

    # ---- helpers, as a person reads the page
    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def type(self, text):
        box = self.driver.find_element(By.ID, "chercher")
        box.send_keys(text)

    def count(self):
        return self.driver.find_element(By.ID, "compte").text

    def titles(self):
        return self.js("return [...document.querySelectorAll('#liste .titre')]"
                       ".map(e => e.firstChild.textContent)")

    def open_card(self, title):
        for link in self.driver.find_elements(By.CSS_SELECTOR, "#liste a"):
            if link.find_element(By.CLASS_NAME, "titre").text.startswith(title):
                link.click()
                # The notes are unpacked just after the list is shown.
                WebDriverWait(self.driver, 10).until(lambda d: "Ouverture…" not in d.find_element(
                    By.ID, "fiche-champs").text)
                return self.js("return [...document.querySelectorAll('#fiche-champs dt, "
                               "#fiche-champs dd')].map(e => e.textContent)")
        self.fail(f"{title} n'est pas dans la liste")

    # ---- the tests
    def test_search_folds_case_and_accents_and_needs_every_word(self):
        total = len(self.titles())
        self.assertEqual(self.count(), f"{total} livres")
        for typed, expected in [
            ("emile zola", ["L'Œuvre — « 5 € »", "Germinal", "Nana"]),
            ("ZOLA nana", ["Nana"]),
            ("oeuvre", ["L'Œuvre — « 5 € »"]),
            ("orsted", ["Ørsted et l'électromagnétisme"]),
            ("strasse", ["Die Straße"]),
            ("aesop", ["Fables"]),
            ("etagere salon", ["L'Œuvre — « 5 € »"]),
            ("rougon charpentier", ["L'Œuvre — « 5 € »"]),
            ("zola introuvable", []),
        ]:
            with self.subTest(typed=typed):
                self.load()
                self.type(typed)
                self.assertEqual(self.titles(), expected)
                shown = len(expected)
                self.assertEqual(self.count(), f"{shown} livre{'s' if shown > 1 else ''} "
                                               f"sur {total}")
                if not expected:
                    self.assertIn(typed, self.driver.find_element(By.ID, "vide").text)

    def test_an_isbn_finds_its_book_in_either_form(self):
        for typed, title in [
            ("978-2-07-036024-6", "L'Œuvre"),     # stored as its ISBN-10
            ("2070360245", "L'Œuvre"),
            ("2-253-00422-7", "Germinal"),        # stored as its ISBN-13
            ("ISBN 978 2 253 00422 6", "Germinal"),
            ("207036822x", "Nana"),               # stored with hyphens and X
            ("9782070368228", "Nana"),
            ("0360", "L'Œuvre"),                  # a part of it
        ]:
            with self.subTest(typed=typed):
                self.load()
                self.type(typed)
                titles = self.titles()
                self.assertEqual(len(titles), 1, titles)
                self.assertTrue(titles[0].startswith(title), titles)

    def test_groups_join_one_author_however_written(self):
        Select(self.driver.find_element(By.ID, "regrouper")).select_by_value("auteur")
        groups = Select(self.driver.find_element(By.ID, "groupe"))
        names = [o.text for o in groups.options]
        self.assertIn("ÉMILE ZOLA (3)", names)
        self.assertEqual(names[0], f"Tous ({len(self.titles())})")
        groups.select_by_visible_text("ÉMILE ZOLA (3)")
        self.assertEqual(self.titles(), ["L'Œuvre — « 5 € »", "Germinal", "Nana"])
        # The filter narrows within the group, and the group list counts what it finds.
        self.type("nana")
        self.assertEqual(self.titles(), ["Nana"])
        self.assertIn("ÉMILE ZOLA (1)", [o.text for o in groups.options])
        Select(self.driver.find_element(By.ID, "regrouper")).select_by_value("pos1")
        self.assertEqual([o.text for o in groups.options], ["Tous (1)", "Bureau (1)"])

    def test_a_card_shows_every_field_filled_and_the_loan(self):
        self.type("germinal")
        fields = self.open_card("Germinal")
        card = dict(zip(fields[::2], fields[1::2]))
        self.assertEqual(self.driver.find_element(By.ID, "fiche-pret").text,
                         "Prêté à Marie Dupont depuis le 3/11/2025")
        self.assertEqual(card["Auteur"], "Émile Zola")
        self.assertEqual(card["ISBN"], "9782253004226")
        self.assertEqual(card["Prix"], "7,5 Euros")
        self.assertEqual(card["Lu"], "oui")
        self.assertEqual(card["Date d'enregistrement"], "5/3/2004")
        self.assertEqual(card["Notes"], "Première édition de poche.\r\nCouverture abîmée.")
        self.assertEqual(card["Résumé"], "La grève des mineurs de Montsou.")
        self.assertNotIn("Sujet", card)  # empty: not shown
        # The phone's back button closes it, and the list is as it was.
        self.driver.back()
        self.assertFalse(self.driver.find_element(By.ID, "fiche").is_displayed())
        self.assertEqual(self.titles(), ["Germinal"])
        # A book returned is not said to be out.
        self.load()
        self.type("nana")
        fields = self.open_card("Nana")
        self.assertFalse(self.driver.find_element(By.ID, "fiche-pret").is_displayed())
        self.assertEqual([f for f in ("Prix", "Pages") if f in fields], [])  # saved as "0"

    def test_hostile_texts_show_as_text_and_run_nothing(self):
        self.type("img src")
        fields = self.open_card("<img")
        card = dict(zip(fields[::2], fields[1::2]))
        self.assertEqual(self.driver.find_element(By.ID, "fiche-titre").text,
                         "<img src=x onerror=\"window.ran='img'\">")
        self.assertEqual(card["Auteur"], "</script><script>window.ran=1</script>")
        self.assertEqual(card["Collection"], "<!--")
        self.assertEqual(card["Notes"], "<svg onload=\"window.ran='svg'\"></svg>\\u003c & &amp;")
        self.assertEqual(card["Positions"], "\"'><b>gras</b>")
        self.assertIsNone(self.js("return window.ran"))
        self.assertEqual(self.js("return document.querySelectorAll('b, svg, "
                                 "img:not(.vignette):not(#fiche-vignette)').length"), 0)
        self.assertEqual(self.js("return window.refused"), [])
        with self.assertRaises(NoAlertPresentException):
            self.driver.switch_to.alert.text

    def test_no_request_leaves_the_page(self):
        self.type("zola")
        self.open_card("Germinal")
        requested = [json.loads(e["message"])["message"] for e in
                     self.driver.get_log("performance")]
        urls = [m["params"]["request"]["url"] for m in requested
                if m["method"] == "Network.requestWillBeSent"]
        self.assertEqual([u for u in urls if not u.startswith(self.url)], [])
        policy = self.js("return document.querySelector("
                         "'meta[http-equiv=\"Content-Security-Policy\"]').content")
        self.assertTrue(policy.startswith("default-src 'none'"), policy)
        self.assertEqual(self.js("return window.refused"), [])

    def test_the_page_is_utf8_and_says_when_it_was_made(self):
        self.assertEqual(self.js("return document.characterSet"), "UTF-8")
        with open(self.page, "rb") as f:
            f.read().decode("utf-8")  # strict: any byte outside UTF-8 fails
        self.assertEqual(self.titles()[0], "L'Œuvre — « 5 € »")
        self.assertRegex(self.driver.find_element(By.ID, "fait").text,
                         r"^Catalogue du \d\d/\d\d/\d{4} à \d\d:\d\d, fait par Lirabel 3\.$")

    def test_the_fold_agrees_with_the_program(self):
        page = self.js("return arguments[0].map(p => pocketCatalogue.fold(p[0]))", self.folds)
        differ = [(c, want, got) for (c, want), got in zip(self.folds, page) if want != got]
        self.assertEqual(differ, [])
        # What a phone's keyboard types beyond the catalogue's characters.
        for typed, folded in [("Ørsted", "orsted"), ("Œuvre", "oeuvre"), ("Straße", "strasse"),
                              ("Æsop", "aesop"), ("ΆΘΗΝΑ", "αθηνα"), ("Kırmızı", "kirmizi"),
                              ("İstanbul", "istanbul"), ("e\u0301mile", "emile")]:
            with self.subTest(typed=typed):
                self.assertEqual(self.js("return pocketCatalogue.fold(arguments[0])", typed),
                                 folded)

    def test_fits_a_phone_upright_and_sideways(self):
        for width, height in [(360, 740), (740, 360)]:
            with self.subTest(width=width):
                self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                    "width": width, "height": height, "deviceScaleFactor": 3, "mobile": True})
                self.load()
                self.assertLessEqual(self.js("return document.documentElement.scrollWidth"),
                                     width)
        self.driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})

    def test_dark_mode_and_the_text_size_asked_for(self):
        self.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {
            "features": [{"name": "prefers-color-scheme", "value": "dark"}]})
        self.load()
        background = self.js("return getComputedStyle(document.body).backgroundColor")
        self.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {"features": []})
        self.assertEqual(background, "rgb(18, 18, 18)")
        title_size = "return parseFloat(getComputedStyle(document.querySelector('.titre')).fontSize)"
        normal = self.js(title_size)
        large = start_browser(font_size=24)
        try:
            self.load(large)
            self.assertAlmostEqual(large.execute_script(title_size), normal * 1.5, delta=0.5)
        finally:
            large.quit()


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    try:
        start_browser().quit()
    except (WebDriverException, OSError) as failure:
        print(f"IGNORÉ : aucun navigateur ne démarre ici ({str(failure).splitlines()[0]}) : "
              "apt-get install chromium chromium-driver")
        return SKIPPED
    run = unittest.main(argv=sys.argv[:1], exit=False, verbosity=2)
    return 0 if run.result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
